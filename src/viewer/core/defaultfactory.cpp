#include "viewer/core/defaultfactory.h"

#include "ocr/pagetextcache.h"
#include "ocr/tesseractengine.h"
#include "ocr/tesseractpagetext.h"
#include "platform/machinevalues.h"
#include "platform/printerstatus.h"
#include "platform/qtpromptservice.h"
#include "platform/settingsstore.h"
#include "widgets/pageview/pageview.h"
#include "widgets/progressbar/progressbarwidget.h"
#include "widgets/thumbnails/thumbnailview.h"

namespace ktdv {

namespace {

class DefaultFactory final : public ComponentFactory {
public:
    std::unique_ptr<ImageEditor> createImageEditor(QWidget* parent) override {
        return std::make_unique<PageView>(promptService(), settingsStore(), parent);
    }
    std::unique_ptr<ThumbnailPane> createThumbnailPane(QWidget* parent) override {
        return std::make_unique<ThumbnailView>(promptService(), parent);
    }
    std::unique_ptr<ProgressBar> createProgressBar(QWidget* parent) override {
        return std::make_unique<ProgressBarWidget>(parent);
    }
    std::unique_ptr<RecognitionEngine> createRecognitionEngine() override {
        return std::make_unique<TesseractEngine>(ocr::PageTextCache::shared());
    }
    std::unique_ptr<PageTextProvider> createPageTextProvider() override {
        return std::make_unique<TesseractPageText>();
    }
    std::shared_ptr<PromptService> promptService() override {
        if (!m_prompts)
            m_prompts = std::make_shared<QtPromptService>();
        return m_prompts;
    }
    std::shared_ptr<SettingsStore> settingsStore() override {
        if (!m_settings)
            m_settings = createUserSettingsStore();
        return m_settings;
    }
    std::shared_ptr<MachineValues> machineValues() override {
        if (!m_machine)
            m_machine = createSystemMachineValues();
        return m_machine;
    }
    std::shared_ptr<PrinterStatus> printerStatus() override {
        if (!m_printer)
            m_printer = createCupsPrinterStatus();
        return m_printer;
    }

private:
    std::shared_ptr<PromptService> m_prompts;
    std::shared_ptr<SettingsStore> m_settings;
    std::shared_ptr<MachineValues> m_machine;
    std::shared_ptr<PrinterStatus> m_printer;
};

}  // namespace

std::shared_ptr<ComponentFactory> createDefaultFactory() {
    return std::make_shared<DefaultFactory>();
}

}  // namespace ktdv
