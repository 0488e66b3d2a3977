// The entries the program loads from each overlay pack.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::string> clockEntries() {
    std::vector<std::string> names = {"ciferblat", "sec", "min", "chas", "podlozka", "podlozka_am", "dot", "am", "pm"};
    for (char c = '0'; c <= '9'; ++c) names.emplace_back(1, c);
    return names;
}

inline std::vector<std::string> calendarEntries() {
    std::vector<std::string> names = {"fon", "fon_rus", "day", "day_rus", "null", "sel"};
    for (int m = 1; m <= 12; ++m) names.push_back("m" + std::to_string(m));
    for (int d = 1; d <= 31; ++d) names.push_back(std::to_string(d));
    return names;
}

inline std::vector<std::string> utilsEntries() {
    std::vector<std::string> names = {"fps"};
    for (char c = '0'; c <= '9'; ++c) names.emplace_back(1, c);
    return names;
}

}  // namespace testsupport
