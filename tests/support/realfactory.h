#pragma once
// The real components for a viewer under test: page view, thumbnail pane, progress bar,
// recognition engine and the text of pages, with scripted prompts and settings kept in
// memory. A test may put its own engine and a recording progress bar in. Header only:
// tests that include it link ktdv_viewer.

#include <functional>
#include <memory>

#include "interfaces/componentfactory.h"
#include "ocr/pagetextcache.h"
#include "ocr/tesseractengine.h"
#include "ocr/tesseractpagetext.h"
#include "platform/settingsstore.h"
#include "support/doubles.h"
#include "support/scriptedprompts.h"
#include "widgets/pageview/pageview.h"
#include "widgets/progressbar/progressbarwidget.h"
#include "widgets/thumbnails/thumbnailview.h"

namespace ktdv::test {

class RealFactory final : public ComponentFactory {
public:
    std::shared_ptr<ScriptedPromptService> prompts = std::make_shared<ScriptedPromptService>();
    std::shared_ptr<SettingsStore> settings = createMemorySettingsStore();
    std::function<std::unique_ptr<RecognitionEngine>()> makeEngine;       // unset: Tesseract
    std::function<std::unique_ptr<PageTextProvider>()> makeTextProvider;  // unset: Tesseract
    std::shared_ptr<PrinterStatus> printer = std::make_shared<FixedPrinterStatus>();
    bool recordProgress = false;
    PageView* page = nullptr;             // the last page view made
    RecordingProgressBar* bar = nullptr;  // the last recording progress bar made

    std::unique_ptr<ImageEditor> createImageEditor(QWidget* parent) override {
        auto view = std::make_unique<PageView>(prompts, settings, parent);
        page = view.get();
        return view;
    }
    std::unique_ptr<ThumbnailPane> createThumbnailPane(QWidget* parent) override {
        return std::make_unique<ThumbnailView>(prompts, parent);
    }
    std::unique_ptr<ProgressBar> createProgressBar(QWidget* parent) override {
        if (!recordProgress)
            return std::make_unique<ProgressBarWidget>(parent);
        auto recording = std::make_unique<RecordingProgressBar>(parent);
        bar = recording.get();
        return recording;
    }
    std::unique_ptr<RecognitionEngine> createRecognitionEngine() override {
        return makeEngine ? makeEngine()
                          : std::make_unique<TesseractEngine>(ocr::PageTextCache::shared());
    }
    std::unique_ptr<PageTextProvider> createPageTextProvider() override {
        return makeTextProvider ? makeTextProvider() : std::make_unique<TesseractPageText>();
    }
    std::shared_ptr<PromptService> promptService() override { return prompts; }
    std::shared_ptr<SettingsStore> settingsStore() override { return settings; }
    std::shared_ptr<MachineValues> machineValues() override {
        return std::make_shared<FixedMachineValues>();
    }
    std::shared_ptr<PrinterStatus> printerStatus() override { return printer; }
};

}  // namespace ktdv::test
