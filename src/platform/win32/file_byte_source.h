// A file's bytes, read only where the header reader asks, so that a file's
// declared size is known without reading the file whole (and before any
// WIC decoder opens it: some decode the whole frame on opening).
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "picture/picture_structure.h"

namespace vistrel::platform::win32 {

class FileByteSource final : public picture::ByteSource {
public:
    explicit FileByteSource(HANDLE file) : file_(file) {
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file_, &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    std::uint64_t size() const override { return size_; }
    std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        if (offset >= size_ || out.empty()) return 0;
        // The header reader asks for a few bytes at a time near the start:
        // one read of the first block answers most of them, which matters
        // when thousands of files are checked one after another.
        if (!headRead_) {
            headRead_ = true;
            headLength_ = readAt(0, head_.data(), head_.size());
        }
        if (offset + out.size() <= headLength_) {
            std::memcpy(out.data(), head_.data() + offset, out.size());
            return out.size();
        }
        return readAt(offset, out.data(), std::min<std::size_t>(out.size(), 1u << 20));
    }

private:
    std::size_t readAt(std::uint64_t offset, std::uint8_t* into, std::size_t wanted) const {
        // A file just opened reads from its start: one system call fewer
        // for each of thousands of files.
        const bool atStart = offset == 0 && !moved_;
        moved_ = true;
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!atStart && !SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return 0;
        DWORD got = 0;
        if (!ReadFile(file_, into, static_cast<DWORD>(wanted), &got, nullptr)) return 0;
        return got;
    }

    HANDLE file_;
    std::uint64_t size_ = 0;
    mutable bool headRead_ = false;
    mutable bool moved_ = false;  // the file pointer left the start
    mutable std::size_t headLength_ = 0;
    mutable std::array<std::uint8_t, 4096> head_{};
};

}  // namespace vistrel::platform::win32
