#pragma once

#include <string>
#include <string_view>

namespace pinwright::ui::qt {

// The program's filter list ("Text files (*.asc, *.csv)|*.asc;*.csv|": pairs
// of description and patterns, each followed by '|', patterns separated by
// ';') in Qt's name-filter form ("Text files (*.asc, *.csv) (*.asc *.csv)",
// entries separated by ";;"). A description without patterns offers all
// files; patterns without a description stand alone; blank padding is ignored.
std::string qt_name_filters(std::string_view filter);

}  // namespace pinwright::ui::qt
