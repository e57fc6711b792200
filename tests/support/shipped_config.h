// The configuration the program ships with, found beside the tests' sources.
#pragma once

#include <filesystem>
#include <string>

inline std::string shipped_config_path()
{
    return (std::filesystem::path(__FILE__).parent_path() / "../../data/zarn_config").lexically_normal().string();
}
