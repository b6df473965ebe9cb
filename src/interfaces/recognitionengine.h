#pragma once
// The recognition engine as the viewer sees it. Convert is synchronous for its caller
// and raises onProgress on the calling thread as pages finish. A handler of onProgress
// may run the event loop, so a second call can arrive while one works: an engine runs
// one call at a time and refuses the others with Busy, starting nothing. cancel() asks the
// working call to stop: it returns Cancelled and leaves no output behind.

#include <QString>

#include <functional>
#include <utility>

namespace ktdv {

class RecognitionEngine {
public:
    enum Destination { DestinationFile = 0, DestinationClipboard = 1 };

    // Result codes (0 success).
    enum Result {
        Ok = 0,
        FailedToGetModule = -1,
        FailedLocatingLibraryPath = -2,
        FailedLoadingLibrary = -3,
        FailedToInitialise = -4,
        FileDoesNotExist = -5,
        FailedToSplitFile = -6,
        FailedToOpenPageFile = -7,
        FailedToCreateLayout = -8,
        FailedToRecognise = -9,
        FailedToExport = -10,
        FailedToOpenClipboard = -11,
        FailedToOpenExportFile = -12,
        FailedToSaveFile = -13,
        ClipboardIsEmpty = -14,
        Busy = -15,       // refused: a call of this engine is still working
        Cancelled = -16,  // stopped by cancel(); no output was written
    };

    virtual ~RecognitionEngine() = default;

    // folder: the application folder, ending in a path separator; may be rewritten.
    virtual int initialise(QString& folder) = 0;
    // target: output file for DestinationFile, "notused" for DestinationClipboard.
    // format: export format code 1..13.
    virtual int convert(const QString& source, const QString& target, int destination,
                        int format) = 0;
    // PDF pages that carry a text layer: true (the default) reads their text from it,
    // false recognises them like any other page.
    virtual void setReadTextLayers(bool read) { (void)read; }
    // True while a call works (from inside onProgress, for example).
    virtual bool busy() const { return false; }
    // Asks the working call to stop at its next page at the latest (from onProgress or any
    // other thread); nothing when no call works. An engine that cannot stop ignores it.
    virtual void cancel() {}

    // Called on the calling thread as pages finish; replaces any handler set before.
    using ProgressHandler = std::function<void(int arg)>;
    void setProgressHandler(ProgressHandler handler) { m_onProgress = std::move(handler); }

protected:
    const ProgressHandler& onProgress() const { return m_onProgress; }

private:
    ProgressHandler m_onProgress;
};

}  // namespace ktdv
