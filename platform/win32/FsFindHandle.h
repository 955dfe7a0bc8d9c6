// Owning handle of a FindFirstFileW search, closed with FindClose.
#pragma once

#include <windows.h>

namespace vardelune {

class FsFindHandle {
public:
    FsFindHandle() = default;
    explicit FsFindHandle(HANDLE handle) : handle_(handle) {}
    FsFindHandle(const FsFindHandle&) = delete;
    FsFindHandle& operator=(const FsFindHandle&) = delete;
    FsFindHandle(FsFindHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
    FsFindHandle& operator=(FsFindHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    ~FsFindHandle() { Close(); }

    HANDLE Get() const { return handle_; }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Close() {
        if (IsOpen()) {
            FindClose(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace vardelune
