#pragma once
// The page view's settings dialog: how pages are shown and the defaults of new annotations,
// each read from and written to its settings key. UI thread only.

class QWidget;

namespace ktdv {

class PromptService;
class SettingsStore;

// Shows the dialog through prompts. smooth: the page view's smooth scaling, shown and, on
// OK, set to the choice. On OK every setting of the dialog is written to store (when there
// is one) and true is returned; Cancel changes nothing.
bool editViewerSettings(QWidget* parent, PromptService& prompts, SettingsStore* store,
                        bool& smooth);

}  // namespace ktdv
