#pragma once
// Results pages as the results site writes them, for the online update's tests: one row per
// drawn serial with its eight numbers, and rows with dashes for serials not drawn yet.

#include <array>
#include <set>
#include <string>
#include <vector>

namespace quarvel::testing {

// The numbers the test site shows for a draw: eight distinct values 01..30 that differ per draw.
std::array<int, 8> siteNumbers(int year, int serial);

// A chart page of `year`; serials in `unreadable` show numbers that cannot be a draw.
std::string chartPage(int year, const std::vector<int>& drawn, const std::vector<int>& pending = {},
                      const std::set<int>& unreadable = {});

// from, from + 1, ..., to
std::vector<int> serials(int from, int to);

// The request target (path and query) of a year's page.
std::string chartTarget(int year);

}  // namespace quarvel::testing
