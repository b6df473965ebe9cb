#pragma once
// The recognition engine and the whole-document conversions into a file or onto the
// clipboard, with the progress bar driven by the engine's progress events.
// UI thread only. The progress handler runs the event loop, so conversion buttons can be
// clicked while a conversion works: such a click does nothing, and the running conversion
// keeps the engine and the progress bar. The bar's Cancel button (or Escape) stops a
// whole-document conversion quietly, leaving no output.

#include <QString>

#include <memory>

namespace ktdv {

class ComponentFactory;
class ConversionProgress;
class MachineValues;
class RecognitionEngine;
class ViewerControl;

class DocumentConversion {
public:
    explicit DocumentConversion(ViewerControl& viewer);
    ~DocumentConversion();

    // Creates the engine and starts it on the application folder found in the machine's
    // values; returns the engine's start-up result. Throws when it cannot be created.
    int startEngine(ComponentFactory& factory, MachineValues& machine);
    // The engine; null when it could not be created.
    RecognitionEngine* engine() const { return m_engine.get(); }
    // The application folder handed to the engine at start-up.
    QString engineFolder() const { return m_engineFolder; }
    // True while the engine works on a conversion (of the document or of a zone).
    bool engineBusy() const;

    void ConvertDocumentToFile();
    void ConvertDocumentToClipboard();
    // The engine's progress event.
    void Engine_Progress(int arg);
    // The bar's caption, size and place, its Cancel button and the busy cursor.
    ConversionProgress& progress() const { return *m_progress; }

private:
    // Tells the engine whether PDF text layers are read (the user's setting); returns it.
    bool prepareEngine();
    ViewerControl& m_viewer;
    std::unique_ptr<RecognitionEngine> m_engine;
    QString m_engineFolder;
    std::unique_ptr<ConversionProgress> m_progress;
    bool m_starting = false;  // a file conversion yields once before it calls the engine
};

}  // namespace ktdv
