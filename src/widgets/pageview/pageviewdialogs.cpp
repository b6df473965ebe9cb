// The view's own small dialogs: annotation colours and display options. Every dialog is
// shown through the prompt service.
#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "widgets/pageview/pageview.h"

namespace ktdv {

namespace {

struct ColourSetting {
    QString label;
    const settings::Setting& setting;
};

struct SizeSetting {
    QString label;
    const settings::Setting& setting;
    qint32 minimum;
    qint32 maximum;
};

const char* const kBgrProperty = "bgr";

QColor fromBgr(qint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
qint32 toBgr(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// A damaged value shows the default, and is replaced on OK.
qint32 readSetting(const SettingsStore* store, const settings::Setting& setting) {
    return store ? store->readInt32(setting) : setting.defaultValue;
}

void paintSwatch(QPushButton* button, qint32 bgr) {
    button->setProperty(kBgrProperty, bgr);
    button->setText(fromBgr(bgr).name());
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, fromBgr(bgr));
    button->setPalette(pal);
}

// A dialog with one colour button per colour setting and one spin box per size setting;
// OK stores them as decimal text. Picking a colour opens a colour chooser, also through the
// prompt service.
void editStyle(QWidget* parent, PromptService* prompts, SettingsStore* store, const QString& title,
               const QList<ColourSetting>& rows, const QList<SizeSetting>& sizes = {}) {
    if (!prompts)
        return;
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("colourProperties"));
    dialog.setWindowTitle(title);
    auto* form = new QFormLayout(&dialog);
    QList<QPushButton*> buttons;
    for (const ColourSetting& row : rows) {
        auto* button = new QPushButton(&dialog);
        button->setObjectName(QLatin1String(row.setting.key));
        paintSwatch(button, readSetting(store, row.setting) & 0xFFFFFF);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, button, prompts] {
            QColorDialog picker(fromBgr(button->property(kBgrProperty).toInt()), &dialog);
            picker.setObjectName(QStringLiteral("colourPicker"));
            picker.setOption(QColorDialog::DontUseNativeDialog);
            if (prompts->execDialog(&picker) == QDialog::Accepted)
                paintSwatch(button, toBgr(picker.selectedColor()));
        });
        form->addRow(row.label, button);
        buttons.append(button);
    }
    QList<QSpinBox*> boxes;
    for (const SizeSetting& row : sizes) {
        auto* box = new QSpinBox(&dialog);
        box->setObjectName(QLatin1String(row.setting.key));
        box->setRange(row.minimum, row.maximum);
        box->setValue(qBound(row.minimum, readSetting(store, row.setting), row.maximum));
        form->addRow(row.label, box);
        boxes.append(box);
    }
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(box);
    if (prompts->execDialog(&dialog) != QDialog::Accepted || !store)
        return;
    for (int i = 0; i < rows.size(); ++i)
        store->writeInt(rows[i].setting, buttons[i]->property(kBgrProperty).toInt());
    for (int i = 0; i < sizes.size(); ++i)
        store->writeInt(sizes[i].setting, boxes[i]->value());
}

}  // namespace

void PageView::stampProperties() {
    editStyle(this, m_prompts.get(), m_settings.get(), tr("Stamp Properties"),
              {{tr("Stamp colour"), settings::StampColor}},
              {{tr("Font size (points)"), settings::StampFontSize, 4, 400}});
}

void PageView::rectangleProperties() {
    editStyle(this, m_prompts.get(), m_settings.get(), tr("Rectangle Properties"),
              {{tr("Fill colour"), settings::RectFillColor},
               {tr("Border colour"), settings::RectBorderColor}});
}

void PageView::highlightProperties() {
    editStyle(this, m_prompts.get(), m_settings.get(), tr("Highlight Properties"),
              {{tr("Highlight colour"), settings::HighlightColor}});
}

void PageView::showSettings() {
    if (!m_prompts)
        return;
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("viewSettings"));
    dialog.setWindowTitle(tr("Viewer Settings"));
    auto* form = new QFormLayout(&dialog);
    auto* smooth = new QCheckBox(tr("Smooth scaling of grey and colour pages"), &dialog);
    smooth->setObjectName(QStringLiteral("smooth"));
    smooth->setChecked(m_smooth);
    form->addRow(smooth);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(box);
    if (m_prompts->execDialog(&dialog) != QDialog::Accepted)
        return;
    setSmoothScaling(smooth->isChecked());
    if (m_settings)
        m_settings->writeBool(settings::SmoothScaling, m_smooth);
}

}  // namespace ktdv
