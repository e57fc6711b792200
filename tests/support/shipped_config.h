// The configuration the program ships with, found in the sources the build names.
#pragma once

#include <filesystem>
#include <string>

inline std::string shipped_config_path()
{
    return (std::filesystem::path(ZARN_SOURCE_DIR) / "data/zarn_config").string();
}
