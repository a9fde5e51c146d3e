// The HTTP layer's release at shutdown, in a process of its own (it ends the
// layer for the rest of the process): a connection still open goes on
// working over TLS, and no new one can be made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "hal_http.h"
#include "http_server.h"

namespace {

TEST(HalHttpRelease, AnOpenConnectionOutlivesTheReleaseAndNoNewOneIsMade) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HttpTestServer server(
                [](const HttpTestRequest&, HttpTestReply& reply) { reply.respond(200, "OK", "kept"); }, true);
            HAL_HTTPSettings settings;
            settings.connectTimeoutMs = settings.stallTimeoutMs = 2000;
            settings.caFile = HttpTestServer::certificateFile().c_str();
            HAL_setHTTPSettings(&settings);
            const std::string url = server.url("/late");
            const std::u16string wide(url.begin(), url.end());
            HAL_HTTPConnection* open = nullptr;
            HAL_createHTTPConnection(&open, wide.data(), int32_t(wide.size()));
            if (open == nullptr) std::exit(2);

            HAL_releaseHTTP();
            HAL_HTTPConnection* late = reinterpret_cast<HAL_HTTPConnection*>(1);
            if (HAL_createHTTPConnection(&late, wide.data(), int32_t(wide.size())) != 0 || late != nullptr)
                std::exit(3);
            int32_t code = 0;
            HAL_getHTTPResponseCode(open, &code);
            const uint8_t* data = nullptr;
            int32_t count = 0;
            HAL_readHTTPConnection(open, &data, &count);
            if (code != 200 || std::string(reinterpret_cast<const char*>(data), size_t(count)) != "kept") std::exit(4);
            HAL_closeHTTPConnection(open);
            HAL_releaseHTTP();  // nothing left open now: libcurl goes too
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
