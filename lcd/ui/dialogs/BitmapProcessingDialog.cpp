#include "ui/dialogs/BitmapProcessingDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/AtomicFile.h"
#include "base/Messenger.h"
#include "images/BmpArrayConverter.h"

BitmapProcessingDialog::BitmapProcessingDialog(Messenger& messenger, FileChooser chooser,
                                               QWidget* parent)
    : QDialog(parent), m_messenger(messenger), m_chooser(std::move(chooser)) {
    setWindowTitle(tr("位图处理"));
    m_size = new QComboBox;
    m_size->addItems({QStringLiteral("320*234"), QStringLiteral("320*240"),
                      QStringLiteral("640*480"), QStringLiteral("800*480"),
                      QStringLiteral("800*600"), tr("原始尺寸")});
    m_size->setCurrentIndex(-1);
    m_colours = new QComboBox;
    m_colours->addItems({tr("8色"), tr("64色"), tr("256色"), tr("16位色"), tr("14位色")});
    m_colours->setCurrentIndex(-1);
    m_control = new QCheckBox(tr("使用控制位"));
    m_modeLabel = new QLabel(tr("控制模式:"));
    m_mode = new QComboBox;
    m_mode->addItems({tr("相或(0,0)"), tr("相与(0,1)"), tr("异或(1,0)"), tr("覆盖(1,1)")});
    m_mode->setCurrentIndex(0);
    m_path = new QLineEdit;
    m_path->setMinimumWidth(280);
    auto* browse = new QPushButton(QStringLiteral("…"));
    browse->setMaximumWidth(32);
    m_extract = new QPushButton(tr("提取"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("位图尺寸:")), 0, 0);
    grid->addWidget(m_size, 0, 1);
    grid->addWidget(new QLabel(tr("颜色数:")), 1, 0);
    grid->addWidget(m_colours, 1, 1);
    grid->addWidget(m_control, 1, 2);
    grid->addWidget(m_modeLabel, 2, 0);
    grid->addWidget(m_mode, 2, 1);
    grid->addWidget(new QLabel(tr("位图文件:")), 3, 0);
    grid->addWidget(m_path, 3, 1, 1, 2);
    grid->addWidget(browse, 3, 3);
    grid->addWidget(m_extract, 4, 2, 1, 2);

    connect(m_colours, &QComboBox::currentIndexChanged, this,
            &BitmapProcessingDialog::colourChosen);
    connect(m_control, &QCheckBox::toggled, this, &BitmapProcessingDialog::showMode);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = AskFile(m_chooser, this,
                                     {tr("位图文件"),
                                      tr("位图文件 (*.bmp);;All Files (*)"),
                                      QStringLiteral("bmp"),
                                      {},
                                      false});
        if (!path.isEmpty()) m_path->setText(path);
    });
    connect(m_extract, &QPushButton::clicked, this, &BitmapProcessingDialog::extract);
    m_control->hide();
    showMode(false);
}

void BitmapProcessingDialog::showMode(bool shown) {
    m_modeLabel->setVisible(shown);
    m_mode->setVisible(shown);
}

void BitmapProcessingDialog::colourChosen(int index) {
    m_control->setChecked(false);
    m_control->setVisible(index == kColours64);
}

bool BitmapProcessingDialog::extract() {
    const int size = m_size->currentIndex(), colour = m_colours->currentIndex();
    if (size < 0 || colour < 0) {
        m_messenger.Tell("请设置位图大小、以及转换后的颜色数", "提示");
        return false;
    }
    QString path = m_path->text();
    if (!path.endsWith(QStringLiteral(".bmp")) && !path.endsWith(QStringLiteral(".BMP"))) {
        path = AskFile(m_chooser, this,
                       {tr("位图文件"),
                        tr("位图文件 (*.bmp);;All Files (*)"),
                        QStringLiteral("bmp"),
                        {},
                        false});
        if (path.isEmpty()) return false;
        m_path->setText(path);
    }
    BmpArrayConverter::Options options;
    options.width = kSizes[size][0];
    options.height = kSizes[size][1];
    options.colours = kColours[colour];
    CByteArray pixels;
    // A picture that cannot be read has said why; nothing is written for it.
    if (BmpArrayConverter::Convert(path.toStdString(), options, pixels, m_messenger) < 0)
        return false;
    if (colour == kColours64 && m_control->isChecked())
        BmpArrayConverter::ApplyControl(pixels, m_mode->currentIndex());

    const QString out = AskFile(
        m_chooser, this,
        {tr("保存"), tr("文本文件 (*.TXT);;All Files (*)"), QStringLiteral("TXT"), {}, true});
    if (out.isEmpty()) return false;
    std::string error;
    AtomicFile::Writer writer;
    const bool written =
        writer.Open(out.toStdString(), error) &&
        BmpArrayConverter::FormatText(
            pixels,
            [&](std::string_view text) {
                return writer.Append({reinterpret_cast<const uint8_t*>(text.data()), text.size()},
                                     error);
            }) &&
        writer.Commit(error);
    if (!written) m_messenger.Tell("创建文件失败\n" + error, "提示");
    return written;
}
