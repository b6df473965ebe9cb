#pragma once
// The progress bar component: a range Min..Max of 16-bit integers, a fractional Value
// that may lie outside the range (it is drawn clamped to it), and a caption drawn centred
// over the bar. UI thread only.

#include "interfaces/progressbar.h"

#include <QWidget>

namespace ktdv {

class ProgressBarWidget final : public QWidget, public ProgressBar {
    Q_OBJECT
public:
    explicit ProgressBarWidget(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    void setMin(qint16 v) override;
    qint16 min() const override { return m_min; }
    void setMax(qint16 v) override;
    qint16 max() const override { return m_max; }
    void setValue(double v) override;
    double value() const override { return m_value; }
    void setText(const QString& text) override;
    QString text() const override { return m_text; }
    void repaint() override { QWidget::repaint(); }

    // Share of the bar drawn filled, 0..1: the value clamped to the range. An empty or
    // reversed range is full once the value reaches Max.
    double filledFraction() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qint16 m_min = 0;
    qint16 m_max = 100;
    double m_value = 0.0;
    QString m_text;
};

}  // namespace ktdv
