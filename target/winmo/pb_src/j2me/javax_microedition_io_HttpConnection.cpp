// javax.microedition.io.HttpConnection: an HTTP request and its response.
#include "javax_microedition_io_HttpConnection.h"

namespace javax::microedition::io {

VMStatic<java::lang::String> HttpConnection::HEAD;
VMStatic<java::lang::String> HttpConnection::GET;
VMStatic<java::lang::String> HttpConnection::POST;

void HttpConnection::_VM_clinit() {
    HEAD = VM_STR("HEAD");
    GET = VM_STR("GET");
    POST = VM_STR("POST");
}

}  // namespace javax::microedition::io

VM_REGISTER_CLASS(javax::microedition::io::HttpConnection, .name = "javax.microedition.io.HttpConnection",
                  .superName = "javax.microedition.io.ContentConnection",
                  .staticInit = javax::microedition::io::HttpConnection::_VM_clinit, .isInterface = true,
                  .isAbstract = true)
