// The settings file through the system's private-profile calls.
#pragma once
#include <string>

#include "Settings.h"

namespace zentrok {

class WinProfile : public ProfileAccess {
public:
    explicit WinProfile(std::string path) : path_(std::move(path)) {}
    ~WinProfile() override;
    const std::string& Path() const override { return path_; }
    std::string ReadText(const char* section, const char* key, const std::string& def) override;
    bool WriteText(const char* section, const char* key, const std::string& value) override;
    void Flush() override;

private:
    std::string path_;
};

} // namespace zentrok
