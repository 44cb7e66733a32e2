#pragma once

#include <array>
#include <string_view>

#include "text/cp1251_literal.h"

namespace tarnwell {

// Pages of PC1, by page index.
enum PageIndex { kViewerPage = 0, kSettingsPage = 1, kStatPage = 2, kLimitsPage = 3, kAboutPage = 4, kPageCount = 5 };

// A page of PC1: its index, its name (the widget that shows it carries it) and its title, which the
// navigation button that selects it shows and by which assistive technology knows it.
struct FormPage {
    PageIndex Index;
    std::string_view Name;
    std::string_view Title;  // Windows-1251
};

namespace form_pages {
using namespace literals;
// In page-index order.
inline constexpr std::array<FormPage, kPageCount> kPages = {{
    {kViewerPage, "TabSheet1", "Просмотр"_cp},
    {kSettingsPage, "TabSheet2", "Настройки"_cp},
    {kStatPage, "TabSheet4", "Статистика"_cp},
    {kLimitsPage, "TabSheet5", "Лимиты"_cp},
    {kAboutPage, "TabSheet3", "О программе"_cp},
}};
}  // namespace form_pages

using form_pages::kPages;

}  // namespace tarnwell
