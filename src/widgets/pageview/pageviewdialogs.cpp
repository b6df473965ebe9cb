// The dialogs for the styles of new annotations. Every dialog is shown through the prompt
// service.
#include <QAbstractScrollArea>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "widgets/pageview/pageviewannotations.h"

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

void PageViewAnnotations::stampProperties() {
    editStyle(&m_area, m_prompts.get(), m_settings.get(), QObject::tr("Stamp Properties"),
              {{QObject::tr("Stamp colour"), settings::StampColor}},
              {{QObject::tr("Font size (points)"), settings::StampFontSize, 4, 400}});
}

void PageViewAnnotations::rectangleProperties() {
    editStyle(&m_area, m_prompts.get(), m_settings.get(), QObject::tr("Rectangle Properties"),
              {{QObject::tr("Fill colour"), settings::RectFillColor},
               {QObject::tr("Border colour"), settings::RectBorderColor}});
}

void PageViewAnnotations::highlightProperties() {
    editStyle(&m_area, m_prompts.get(), m_settings.get(), QObject::tr("Highlight Properties"),
              {{QObject::tr("Highlight colour"), settings::HighlightColor}});
}

}  // namespace ktdv
