#pragma once
// Creates the hosted components of a viewer. The viewer owns what it receives.
// Tests hand the viewer a factory of recording doubles where a call order matters.

#include "interfaces/pagetext.h"

#include <memory>

class QWidget;

namespace ktdv {

class ImageEditor;
class ThumbnailPane;
class RecognitionEngine;
class ProgressBar;
class PromptService;
class SettingsStore;
class MachineValues;
class PrinterStatus;

class ComponentFactory {
public:
    virtual ~ComponentFactory() = default;
    virtual std::unique_ptr<ImageEditor> createImageEditor(QWidget* parent) = 0;
    virtual std::unique_ptr<ThumbnailPane> createThumbnailPane(QWidget* parent) = 0;
    virtual std::unique_ptr<ProgressBar> createProgressBar(QWidget* parent) = 0;
    // May throw (the viewer then disables the conversion buttons).
    virtual std::unique_ptr<RecognitionEngine> createRecognitionEngine() = 0;
    // The text of pages for finding and selecting text; null when the factory has none
    // (the viewer then offers neither).
    virtual std::unique_ptr<PageTextProvider> createPageTextProvider() { return nullptr; }
    virtual std::shared_ptr<PromptService> promptService() = 0;
    virtual std::shared_ptr<SettingsStore> settingsStore() = 0;
    virtual std::shared_ptr<MachineValues> machineValues() = 0;
    virtual std::shared_ptr<PrinterStatus> printerStatus() = 0;
};

}  // namespace ktdv
