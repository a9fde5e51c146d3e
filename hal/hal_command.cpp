// Platform layer: command peers.
#include "hal_command.h"

#include <new>
#include <string>

#include "hal_system.h"

struct HAL_Command {
    std::u16string label;
    int32_t commandType = 0;
    int32_t priority = 0;
};

int HAL_createCommand(HAL_Command** peer, const char16_t* label, int32_t length, int32_t commandType,
                      int32_t priority) {
    if (peer == nullptr) return HAL_BAD_ARGUMENT;
    *peer = nullptr;
    if (length < 0 || (label == nullptr && length > 0)) return HAL_BAD_ARGUMENT;
    auto* command = new (std::nothrow) HAL_Command;
    if (command == nullptr) return HAL_OUT_OF_MEMORY;
    try {
        if (length > 0) command->label.assign(label, size_t(length));
    } catch (const std::bad_alloc&) {
        delete command;
        return HAL_OUT_OF_MEMORY;
    }
    command->commandType = commandType;
    command->priority = priority;
    *peer = command;
    return HAL_OK;
}

void HAL_deleteCommand(HAL_Command* peer) { delete peer; }

const char16_t* HAL_getCommandLabel(const HAL_Command* peer, int32_t* length) {
    if (length) *length = peer ? int32_t(peer->label.size()) : 0;
    return peer ? peer->label.c_str() : u"";
}

int32_t HAL_getCommandType(const HAL_Command* peer) { return peer ? peer->commandType : 0; }

int32_t HAL_getCommandPriority(const HAL_Command* peer) { return peer ? peer->priority : 0; }

intptr_t HAL_getCommandId(const HAL_Command* peer) { return reinterpret_cast<intptr_t>(peer); }
