#pragma once
// The comparison as CSV for scripts: figure,unit,before,after,change — one
// row per figure in the page's order, numbers as the report prints them
// ('.' in any locale), an empty cell where a side was not measured, CR LF.
#include <string>

#include "analysis/report_compare.h"

namespace korvalog {

std::string CompareCsv(const ReportComparison& comparison);

}  // namespace korvalog
