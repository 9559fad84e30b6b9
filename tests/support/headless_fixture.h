// A clean program on a headless desktop, with its own configuration folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/preferences.h"
#include "app/settings.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "toolbox/toolbox.h"

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { useDesktop(platform::HeadlessConfig{}); }

    void TearDown() override {
        platform::InstallPlatform(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(configHome_, ignored);
    }

    // Starts over on a desktop of this kind, with an empty configuration folder.
    void useDesktop(platform::HeadlessConfig config) {
        platform::InstallPlatform(nullptr);
        desktop_ = std::make_unique<platform::HeadlessPlatform>(config);
        platform::InstallPlatform(desktop_.get());
        shell::ResetShell();
        if (configHome_.empty()) {
            char pattern[] = "/tmp/pictoria-test-XXXXXX";
            configHome_ = mkdtemp(pattern);
        }
        setenv("XDG_CONFIG_HOME", configHome_.c_str(), 1);
        setenv("XDG_STATE_HOME", (configHome_ + "/state").c_str(), 1);  // the recovery copy
        shell::SetSystemSettingsPath(configHome_ + "/system-settings.ini");  // not the machine's own
    }

    std::string prefsPath() const { return configHome_ + "/pictoria/mwsptk10.pfs"; }

    platform::HeadlessPlatform& desktop() { return *desktop_; }

    std::unique_ptr<platform::HeadlessPlatform> desktop_;
    std::string configHome_;
};
