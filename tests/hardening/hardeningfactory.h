#pragma once
// The viewer's real components for the hardening tests: the default factory's engine,
// progress bar, machine values and printer status, and the real page view and thumbnail
// pane on scripted prompts (a confirmation is answered by the test, never by a person)
// and settings kept in memory (the tester's own settings are never touched).

#include <memory>

#include "components/ocr/tesseractengine.h"
#include "components/pageview/pageview.h"
#include "components/progressbar.h"
#include "components/thumbnails/thumbnailview.h"
#include "core/defaultfactory.h"
#include "platform/machinevalues.h"
#include "platform/printerstatus.h"
#include "platform/settingsstore.h"
#include "support/scriptedprompts.h"

namespace ktdv::test {

class HardeningFactory final : public ComponentFactory {
public:
    std::shared_ptr<ComponentFactory> real = createDefaultFactory();
    std::shared_ptr<ScriptedPromptService> prompts = std::make_shared<ScriptedPromptService>();
    std::shared_ptr<SettingsStore> settings = createMemorySettingsStore();

    std::unique_ptr<ImageEditor> createImageEditor(QWidget* parent) override {
        return std::make_unique<PageView>(prompts, settings, parent);
    }
    std::unique_ptr<ThumbnailPane> createThumbnailPane(QWidget* parent) override {
        return std::make_unique<ThumbnailView>(prompts, parent);
    }
    std::unique_ptr<ProgressBar> createProgressBar(QWidget* parent) override {
        return real->createProgressBar(parent);
    }
    std::unique_ptr<RecognitionEngine> createRecognitionEngine() override {
        return real->createRecognitionEngine();
    }
    std::shared_ptr<PromptService> promptService() override { return prompts; }
    std::shared_ptr<SettingsStore> settingsStore() override { return settings; }
    std::shared_ptr<MachineValues> machineValues() override { return real->machineValues(); }
    std::shared_ptr<PrinterStatus> printerStatus() override { return real->printerStatus(); }
};

}  // namespace ktdv::test
