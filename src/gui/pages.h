#pragma once

class QWidget;

namespace tarnwell {

class ControlBinder;

// The five pages of PC1, each with every control of its page, bound to the controls by the binder.
QWidget* MakeViewerPage(ControlBinder& binder);      // TabSheet1, "Просмотр"
QWidget* MakeSettingsPage(ControlBinder& binder);    // TabSheet2, "Настройки"
QWidget* MakeStatisticsPage(ControlBinder& binder);  // TabSheet4, "Статистика"
QWidget* MakeLimitsPage(ControlBinder& binder);      // TabSheet5, "Лимиты"
QWidget* MakeAboutPage(ControlBinder& binder);       // TabSheet3, "О программе"

}  // namespace tarnwell
