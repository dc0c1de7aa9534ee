#pragma once

#include <string_view>

namespace vellum {

// A window that asked to cancel a running cross-file operation; told when the request is served.
class esCancelCallback {
public:
    virtual ~esCancelCallback() = default;
    virtual void CallbackCancel() = 0;
};

// Receives one line per reference the ID change rewrote.
class esCallbackStringValue {
public:
    virtual ~esCallbackStringValue() = default;
    virtual void CallBack(std::string_view text, std::string_view value) = 0;
};

} // namespace vellum
