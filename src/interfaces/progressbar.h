#pragma once
// The progress bar as the viewer sees it (UI thread only).

#include <QString>

class QWidget;

namespace ktdv {

class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    virtual QWidget* widget() = 0;
    virtual void setMin(qint16 v) = 0;
    virtual qint16 min() const = 0;
    virtual void setMax(qint16 v) = 0;
    virtual qint16 max() const = 0;
    virtual void setValue(double v) = 0;  // fractional values and values outside the range allowed
    virtual double value() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
    virtual void repaint() = 0;
};

}  // namespace ktdv
