#pragma once
// What the user sees while a conversion works: the progress bar sized to its caption, which
// names the work, in the middle of the viewer; a Cancel button beside it, which Escape
// presses too; and the busy cursor. UI thread only.

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

#include "platform/busycursor.h"

class QPushButton;
class QWidget;

namespace ktdv {

class ProgressBar;

class ConversionProgress final : public QObject {
public:
    enum class Place {
        BelowMiddle,  // the bar's top at the viewer's middle
        Middle,       // the bar centred both ways
    };

    // onCancel runs when the user asks a running conversion to stop.
    ConversionProgress(QWidget& viewer, ProgressBar& bar, std::function<void()> onCancel);
    ~ConversionProgress() override;
    ConversionProgress(const ConversionProgress&) = delete;
    ConversionProgress& operator=(const ConversionProgress&) = delete;

    // Captions the bar, sizes it, centres it (with the Cancel button when cancellable) and
    // shows it with the busy cursor until end(). The bar's range and value are the caller's.
    void begin(const QString& caption, Place place, bool cancellable);
    // The Cancel button and the busy cursor go; the bar stays for the caller to hide.
    void end();
    // The user asked the conversion begun last to stop.
    bool cancelRequested() const { return m_cancelRequested; }

    // Runs end() when it goes out of scope.
    class Running {
    public:
        explicit Running(ConversionProgress& progress) : m_progress(progress) {}
        ~Running() { m_progress.end(); }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        ConversionProgress& m_progress;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void requestCancel();

    QWidget& m_viewer;
    ProgressBar& m_bar;
    std::function<void()> m_onCancel;
    QPushButton* m_cancel;  // "btnCancelConversion", a child of the viewer
    QPointer<QWidget> m_focusBefore;
    std::optional<BusyCursor> m_busy;
    bool m_running = false;
    bool m_cancellable = false;
    bool m_cancelRequested = false;
};

}  // namespace ktdv
