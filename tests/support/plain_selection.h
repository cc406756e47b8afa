#pragma once
// File.Path, File.FileName and ChkDir.Value as plain values, for running a command without a
// window, natively and under Wine alike.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/runtime_error.h"
#include "registration/command_context.h"

namespace tervalux::testing {

class PlainSelection : public Selection {
   public:
    std::wstring folder;
    std::wstring file;
    std::int32_t box = 1;
    std::optional<std::int32_t> throws;  // every read throws this number, as a failing control would
    int boxReads = 0;

    std::wstring FolderPath() override {
        Check();
        return folder;
    }
    std::wstring FileName() override {
        Check();
        return file;
    }
    std::int32_t CheckBoxValue() override {
        ++boxReads;
        Check();
        return box;
    }

   private:
    void Check() const {
        if (throws) throw RuntimeError(*throws);
    }
};

}  // namespace tervalux::testing
