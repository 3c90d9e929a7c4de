#include "ui/project/ProjectManagerDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "images/CBmpObj.h"
#include "link/CommandBuilder.h"
#include "project/CLedDoc.h"
#include "project/DownloadMemory.h"
#include "project/FlashMap.h"
#include "project/LayoutHints.h"
#include "project/LayoutReport.h"
#include "project/ProjectTools.h"
#include "project/Workspace.h"
#include "ui/ModuleLink.h"
#include "ui/VirtualModule.h"
#include "ui/VirtualModuleDock.h"
#include "ui/project/FlashMapView.h"
#include "ui/project/TestDisplayDialog.h"
#include "ui/widgets/ReorderList.h"

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// What the core says (labels, hints, problems), in the language the person reads; names
// (titles, paths, stored links) go through Q as they are.
QString T(const std::string& s) {
    return QString::fromStdString(Messages::Tr(s));
}

// A picker set from code: its own signals stay quiet.
void Put(QComboBox* box, int index) {
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(index);
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets)
        row->addWidget(w);
    return row;
}

const char* const kModeNames[] = {
    QT_TRANSLATE_NOOP("ProjectManagerDialog", "循环显示"),
    QT_TRANSLATE_NOOP("ProjectManagerDialog", "顺序显示"),
    QT_TRANSLATE_NOOP("ProjectManagerDialog", "独立显示"),
    QT_TRANSLATE_NOOP("ProjectManagerDialog", "手工设定"),
};
const char* const kBoardNames[] = {"ARM7", "ARM9", "ARM9-2K",
                                   QT_TRANSLATE_NOOP("ProjectManagerDialog", "老板子")};

}  // namespace

ProjectManagerDialog::ProjectManagerDialog(Workspace& workspace, ModuleLink& link,
                                           ChooseFile chooseFile, QWidget* parent)
    : QDialog(parent),
      m_ws(workspace),
      m_link(link),
      m_chooseFile(std::move(chooseFile)),
      m_layout(workspace),
      m_image(m_layout) {
    setWindowTitle(tr("工程管理"));
    m_tabs = new QTabWidget;
    m_tabs->addTab(buildPageTab(), tr("预置画面 "));
    m_tabs->addTab(buildBitmapTab(), tr("局部位图"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &ProjectManagerDialog::openedTab);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setStyleSheet(QStringLiteral("color: #c00000"));
    auto* top = new QHBoxLayout;
    top->addWidget(m_tabs, 1);
    top->addWidget(buildSettings());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_status);
    m_done = new QLabel;
    m_done->setObjectName(QStringLiteral("done"));
    m_done->setWordWrap(true);
    layout->addWidget(m_done);
    layout->addWidget(buildBottomRow());

    m_image.saveSettings = [this] { m_link.setBoardType(m_ws.Settings().boardType); };
    // The virtual module holds this project, not the page in front.
    m_link.setScreen(m_ws.GetProject().screen);
    m_image.Open();
    Put(m_mode, m_image.ModePicker());
    if (QAbstractButton* b = m_boards->button(m_ws.Settings().boardType)) b->setChecked(true);
    showBaud();
    refreshMaps();
}

ProjectManagerDialog::~ProjectManagerDialog() {
    m_link.setScreen(std::nullopt);
}

QWidget* ProjectManagerDialog::buildPageTab() {
    auto* tab = new QWidget;
    m_pageMap = new FlashMapView([this](Surface& dc) { return m_layout.DrawPageMap(dc); });
    auto* mapBox = new QGroupBox(tr("预置画面存储结构"));
    auto* mapLayout = new QVBoxLayout(mapBox);
    mapLayout->addWidget(m_pageMap);
    m_hover = new QLabel;
    m_hover->setObjectName(QStringLiteral("hover"));
    mapLayout->addWidget(m_hover);
    connect(m_pageMap, &FlashMapView::pressed, this, &ProjectManagerDialog::pagePressed);
    connect(m_pageMap, &FlashMapView::dragged, this, &ProjectManagerDialog::pageDragged);
    connect(m_pageMap, &FlashMapView::released, this, [this] { m_layout.ReleasePageMap(); });
    connect(m_pageMap, &FlashMapView::hovered, this, [this](int cell) {
        m_pageCell = cell;
        showHover();
    });

    m_order = new ReorderList;
    m_order->setToolTip(tr("用鼠标拖动可以来调整页面的顺序哦"));
    for (const std::string& title : m_layout.PageOrder())
        m_order->addItem(Q(title));
    connect(m_order, &ReorderList::reordered, this, [this] {
        std::vector<std::string> order;
        for (const QString& t : m_order->texts())
            order.push_back(t.toStdString());
        m_layout.SetPageOrder(std::move(order));
    });
    connect(m_order, &QListWidget::currentRowChanged, this, &ProjectManagerDialog::titleChosen);
    auto* orderBox = new QGroupBox(tr("页面顺序"));
    (new QVBoxLayout(orderBox))->addWidget(m_order);

    m_name = new QLabel;
    m_start = new QLabel;
    m_count = new QLabel;
    m_next = new QComboBox;
    for (const std::string& choice : m_layout.NextPageChoices())
        // The titles, and "无" shown in the person's language but stored as it is.
        m_next->addItem(choice == FlashLayout::kNoPage ? T(choice) : Q(choice), Q(choice));
    m_next->setCurrentIndex(-1);
    m_next->setEnabled(m_layout.NextPagePickerEnabled());
    connect(m_next, &QComboBox::activated, this, &ProjectManagerDialog::nextChosen);
    auto* fieldsBox = new QGroupBox(tr("选中页面属性："));
    auto* fields = new QFormLayout(fieldsBox);
    fields->addRow(tr("名称:"), m_name);
    fields->addRow(tr("开始页面:"), m_start);
    auto* count = Row({m_count, new QLabel(tr("页"))});
    count->addStretch();
    fields->addRow(tr("长度:"), count);
    fields->addRow(tr("下一页:"), m_next);

    m_modes = new QButtonGroup(this);
    auto* modeBox = new QGroupBox(tr("显示模式:"));
    auto* modes = new QVBoxLayout(modeBox);
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(tr(kModeNames[i]));
        m_modes->addButton(radio, i);
        modes->addWidget(radio);
    }
    m_modes->button(m_layout.GetDisplayMode())->setChecked(true);
    connect(m_modes, &QButtonGroup::idClicked, this, &ProjectManagerDialog::modeChosen);

    auto* side = new QVBoxLayout;
    side->addWidget(orderBox, 1);
    side->addWidget(fieldsBox);
    side->addWidget(modeBox);
    auto* layout = new QHBoxLayout(tab);
    layout->addWidget(mapBox);
    layout->addLayout(side);
    return tab;
}

QWidget* ProjectManagerDialog::buildBitmapTab() {
    auto* tab = new QWidget;
    m_bitmapMap = new FlashMapView([this](Surface& dc) { return m_layout.DrawBitmapMap(dc); });
    m_bitmapBox = new QGroupBox;
    auto* mapLayout = new QVBoxLayout(m_bitmapBox);
    mapLayout->addWidget(m_bitmapMap);
    m_bitmapHover = new QLabel;
    mapLayout->addWidget(m_bitmapHover);
    connect(m_bitmapMap, &FlashMapView::pressed, this, &ProjectManagerDialog::bitmapPressed);
    connect(m_bitmapMap, &FlashMapView::dragged, this, &ProjectManagerDialog::bitmapDragged);
    connect(m_bitmapMap, &FlashMapView::released, this, [this] { m_layout.ReleaseBitmapMap(); });
    connect(m_bitmapMap, &FlashMapView::hovered, this, [this](int cell) {
        m_bitmapCell = cell;
        showHover();
    });

    m_bmpName = new QComboBox;
    for (const auto& bmp : m_ws.Bitmaps().Bitmaps())
        m_bmpName->addItem(Q(bmp->m_strPath));
    m_bmpBlock = new QComboBox;
    for (int b = 0; b < FlashLayout::kBlocks; ++b)
        m_bmpBlock->addItem(QString::number(b));
    m_bmpStart = new QComboBox;
    for (int p = 0; p < FlashLayout::kPagesPerBlock; ++p)
        m_bmpStart->addItem(QString::number(p));
    for (QComboBox* box : {m_bmpName, m_bmpBlock, m_bmpStart})
        box->setCurrentIndex(-1);
    connect(m_bmpName, &QComboBox::activated, this, &ProjectManagerDialog::bitmapNameChosen);
    connect(m_bmpBlock, &QComboBox::activated, this, &ProjectManagerDialog::bitmapBlockChosen);
    connect(m_bmpStart, &QComboBox::activated, this, &ProjectManagerDialog::bitmapStartChosen);
    m_bmpCount = new QLabel;
    m_bmpSize = new QLabel;
    m_bmpOwner = new QLabel;
    auto* form = new QFormLayout;
    form->addRow(tr("名称:"), m_bmpName);
    form->addRow(tr("所在块:"), m_bmpBlock);
    form->addRow(tr("开始页:"), m_bmpStart);
    auto* count = Row({m_bmpCount, new QLabel(tr("页"))});
    count->addStretch();
    form->addRow(tr("长度:"), count);
    form->addRow(tr("尺寸:"), m_bmpSize);
    form->addRow(tr("调用页面:"), m_bmpOwner);
    auto* side = new QVBoxLayout;
    side->addLayout(form);
    side->addStretch();
    auto* layout = new QHBoxLayout(tab);
    layout->addWidget(m_bitmapBox);
    layout->addLayout(side);
    return tab;
}

QPushButton* ProjectManagerDialog::addButton(const QString& text,
                                             void (ProjectManagerDialog::*slot)()) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, slot);
    m_buttons.append(b);
    return b;
}

QWidget* ProjectManagerDialog::buildSettings() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    m_mode = new QComboBox;
    for (int mode = 0; mode < 3; ++mode)
        m_mode->addItem(T(FlashImage::ModeName(mode)));
    connect(m_mode, &QComboBox::activated, this, &ProjectManagerDialog::instructionModeChosen);
    auto* modeBox = new QGroupBox(tr("指令模式"));
    (new QVBoxLayout(modeBox))->addWidget(m_mode);
    layout->addWidget(modeBox);

    m_boards = new QButtonGroup(this);
    auto* boardBox = new QGroupBox(tr("板子类型"));
    auto* boards = new QGridLayout(boardBox);
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(tr(kBoardNames[i]));
        m_boards->addButton(radio, i);
        boards->addWidget(radio, i / 2, i % 2);
    }
    connect(m_boards, &QButtonGroup::idClicked, this, &ProjectManagerDialog::boardChosen);
    layout->addWidget(boardBox);

    auto* toggles = new QFormLayout;
    m_charSwitch =
        addButton(T(m_image.CharacterSwitchLabel()), &ProjectManagerDialog::characterSwitch);
    m_parallelSwitch =
        addButton(T(m_image.ParallelSwitchLabel()), &ProjectManagerDialog::parallelSwitch);
    m_pageSize = addButton(Q(m_image.PageSizeLabel()), &ProjectManagerDialog::pageSize);
    toggles->addRow(tr("字符开关:"), m_charSwitch);
    toggles->addRow(tr("并口开关:"), m_parallelSwitch);
    toggles->addRow(tr("局部位图:"), m_pageSize);
    m_baud = new QComboBox;
    for (int32_t rate : LinkSettings::kBaudRates)
        m_baud->addItem(QString::number(rate));
    connect(m_baud, &QComboBox::activated, this, &ProjectManagerDialog::baudChosen);
    toggles->addRow(tr("快速设定波特率："), m_baud);
    layout->addLayout(toggles);

    m_crc = new QCheckBox(QStringLiteral("crc"));
    connect(m_crc, &QCheckBox::toggled, this, [this](bool on) { m_image.m_bCrc = on; });
    auto* grid = new QGridLayout;
    grid->addWidget(addButton(tr("下载"), &ProjectManagerDialog::download), 0, 0);
    grid->addWidget(addButton(tr("导出"), &ProjectManagerDialog::exportImage), 0, 1);
    grid->addWidget(m_crc, 0, 2);
    grid->addWidget(addButton(tr("显示"), &ProjectManagerDialog::showOnModule), 1, 0);
    grid->addWidget(addButton(tr("CRC校验"), &ProjectManagerDialog::crcTable), 1, 1);
    grid->addWidget(addButton(tr("开始校验"), &ProjectManagerDialog::startCheck), 1, 2);
    grid->addWidget(addButton(tr("读取系统版本"), &ProjectManagerDialog::readVersion), 2, 0, 1, 2);
    grid->addWidget(addButton(tr("读取配置信息"), &ProjectManagerDialog::readConfiguration), 3, 0,
                    1, 2);
    layout->addLayout(grid);
    m_changed = new QCheckBox(tr("只下载改动的部分"));
    m_changed->setObjectName(QStringLiteral("changed"));
    m_changed->setToolTip(
        tr("只发送与这个连接上次下载不同的记录；模块型号或下载设置改变时仍发送全部"));
    m_verify = new QCheckBox(tr("下载后校验"));
    m_verify->setObjectName(QStringLiteral("verify"));
    m_verify->setToolTip(
        tr("附上CRC表并发送开始校验命令：模块检查闪存并显示结果"
           "（USB-CAN 等单向连接无法得知字节是否全部到达）"));
    layout->addWidget(m_changed);
    layout->addWidget(m_verify);
    layout->addStretch();
    return column;
}

QWidget* ProjectManagerDialog::buildBottomRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(addButton(tr("通信方式"), &ProjectManagerDialog::linkSettings));
    layout->addWidget(addButton(tr("测试画面"), &ProjectManagerDialog::testDisplay));
    layout->addWidget(addButton(tr("导出全屏位图信息"), &ProjectManagerDialog::backgroundReport));
    layout->addWidget(addButton(tr("导出局部位图信息"), &ProjectManagerDialog::bitmapReport));
    layout->addStretch();
    auto* exit = new QPushButton(tr("退出"));
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    m_buttons.append(exit);
    layout->addWidget(exit);
    return row;
}

QPushButton* ProjectManagerDialog::button(const QString& text) const {
    for (QPushButton* b : m_buttons)
        if (b->text() == text) return b;
    return nullptr;
}

QString ProjectManagerDialog::pageFields() const {
    return m_name->text() + QLatin1Char(' ') + m_start->text() + QLatin1Char(' ') + m_count->text();
}

void ProjectManagerDialog::reject() {
    if (m_layout.CanClose()) QDialog::reject();
}

void ProjectManagerDialog::refreshMaps() {
    m_pageMap->redraw();
    m_bitmapMap->redraw();
    m_bitmapBox->setTitle(tr("局部位图区 第%1块存储结构").arg(m_layout.ShownBlock()));
    QStringList problems;
    for (const std::string& text :
         {LayoutHints::PageCollisions(m_layout), LayoutHints::BitmapCollisions(m_layout)})
        if (!text.empty()) problems.append(T(text));
    m_status->setText(problems.join(QLatin1Char('\n')));
    m_status->setVisible(!problems.isEmpty());
    showHover();
}

void ProjectManagerDialog::showHover() {
    // Also after a move: the cell under the pointer may have another owner now.
    const QString page = T(LayoutHints::PageCell(m_layout, m_pageCell));
    m_hover->setText(page);
    m_pageMap->setToolTip(page);
    const QString bitmap = T(LayoutHints::BitmapCell(m_layout, m_bitmapCell));
    m_bitmapHover->setText(bitmap);
    m_bitmapMap->setToolTip(bitmap);
}

// ---- Page tab

void ProjectManagerDialog::showPage(CLedDoc* page) {
    if (!page) {
        m_name->clear();
        m_start->clear();
        m_count->clear();
        Put(m_next, -1);
        return;
    }
    m_name->setText(Q(page->m_strTitle));
    m_start->setText(QString::number(page->m_nStartPage));
    m_count->setText(QString::number(page->ComputePageCount()));
    Put(m_next, m_next->findData(Q(page->m_strNextPage)));
}

void ProjectManagerDialog::pagePressed(int x, int y) {
    if (!m_layout.PressPageMap(x, y)) return;
    CLedDoc* page = m_layout.PickedPage();
    {
        const QSignalBlocker quiet(m_order);
        m_order->clearSelection();
        m_order->setCurrentRow(-1);
        if (page) {
            const auto found = m_order->findItems(Q(page->m_strTitle), Qt::MatchExactly);
            if (!found.isEmpty()) m_order->setCurrentItem(found.constFirst());
        }
    }
    showPage(page);
    refreshMaps();
}

void ProjectManagerDialog::pageDragged(int x, int y) {
    if (!m_layout.DragPageMap(x, y)) return;
    showPage(m_layout.PickedPage());
    refreshMaps();
}

void ProjectManagerDialog::titleChosen(int row) {
    QListWidgetItem* item = m_order->item(row);
    if (!item) return;
    showPage(m_layout.SelectTitle(item->text().toStdString()));
    refreshMaps();
}

void ProjectManagerDialog::modeChosen(int mode) {
    m_layout.SetDisplayMode(static_cast<FlashLayout::DisplayMode>(mode));
    m_next->setEnabled(m_layout.NextPagePickerEnabled());
    showPage(m_layout.PickedPage());
}

void ProjectManagerDialog::nextChosen(int index) {
    m_layout.ChooseNextPage(m_name->text().toStdString(),
                            m_next->itemData(index).toString().toStdString());
    showPage(m_layout.PickedPage());
}

// ---- Bitmap tab

void ProjectManagerDialog::openedTab(int index) {
    if (index != 1) return;
    m_layout.OpenBitmapTab();
    refreshMaps();
}

void ProjectManagerDialog::showBitmap(int index) {
    FlashLayout::BitmapFields f;
    if (!m_layout.GetBitmapFields(index, f)) {
        for (QComboBox* box : {m_bmpName, m_bmpBlock, m_bmpStart})
            Put(box, -1);
        for (QLabel* label : {m_bmpCount, m_bmpSize, m_bmpOwner})
            label->clear();
        return;
    }
    Put(m_bmpName, index);
    Put(m_bmpBlock, f.block);
    Put(m_bmpStart, f.start);
    m_bmpCount->setText(QString::number(f.pageCount));
    m_bmpSize->setText(Q(f.size));
    m_bmpOwner->setText(Q(f.owner));
}

void ProjectManagerDialog::bitmapPressed(int x, int y) {
    const bool redraw = m_layout.PressBitmapMap(x, y);
    if (FlashMap::CellAt(x, y) < 0) return;
    showBitmap(m_layout.SelectedBitmap());
    if (redraw) refreshMaps();
}

void ProjectManagerDialog::bitmapDragged(int x, int y) {
    if (!m_layout.DragBitmapMap(x, y)) return;
    showBitmap(m_layout.SelectedBitmap());
    refreshMaps();
}

void ProjectManagerDialog::bitmapNameChosen(int index) {
    m_layout.ChooseBitmapName(index);
    // A bitmap without its item is refused: the pickers show what they showed.
    showBitmap(m_layout.SelectedBitmap());
    refreshMaps();
}

void ProjectManagerDialog::bitmapBlockChosen(int block) {
    m_layout.ChooseBitmapBlock(block);
    showBitmap(m_layout.SelectedBitmap());
    if (m_layout.SelectedBitmap() < 0) Put(m_bmpBlock, m_layout.ShownBlock());
    refreshMaps();
}

void ProjectManagerDialog::bitmapStartChosen(int start) {
    m_layout.ChooseBitmapStart(start);
    showBitmap(m_layout.SelectedBitmap());
    refreshMaps();
}

// ---- Settings and commands

void ProjectManagerDialog::send(CByteArray& command) {
    if (!command.empty()) m_link.command(command);
}

void ProjectManagerDialog::instructionModeChosen(int mode) {
    CByteArray command;
    if (m_image.ChooseInstructionMode(mode, command)) send(command);
}

void ProjectManagerDialog::boardChosen(int board) {
    m_image.ChooseBoardType(board);
    // The bitmaps' page counts follow the flash page size.
    refreshMaps();
    if (m_layout.SelectedBitmap() >= 0) showBitmap(m_layout.SelectedBitmap());
}

void ProjectManagerDialog::showBaud() {
    const int32_t rate = m_link.settings().baudRate;
    Put(m_baud, m_baud->findText(QString::number(rate)));
}

void ProjectManagerDialog::baudChosen(int index) {
    CByteArray command;
    CommandBuilder::Baud(command, m_ws.Settings().instructionMode, static_cast<uint8_t>(index));
    // The port follows only a module that was told: else the two would no longer hear
    // each other.
    if (m_link.command(command)) m_link.setBaudRate(LinkSettings::kBaudRates[index]);
    showBaud();
}

void ProjectManagerDialog::download() {
    if (!m_image.CheckDownload()) return;
    m_done->clear();
    // The verify box adds the CRC table as the image's last record and the start check
    // after it; the download never takes the export's "crc" box.
    const bool verify = m_verify->isChecked();
    std::vector<FlashRecord> records;
    m_image.BuildRecords(records, m_image.Settings(), verify);
    // The virtual module's memory lives and goes with its flash; a module made anew (for
    // another screen) is another target.
    const bool virtualModule = UsesVirtualModule(m_link.settings());
    VirtualModule& module = m_link.dock()->module();
    const auto targetName = [&] {
        return virtualModule ? "virtual:" + std::to_string(module.generation())
                             : DownloadMemory::LinkTarget(m_link.settings());
    };
    DownloadTarget target{targetName(), m_ws.GetProject().screen, m_image.Settings()};
    // Without a folder for the virtual module's memory nothing is remembered of it.
    const std::string virtualDir = virtualModule ? module.memoryDir() : "";
    const bool remembers = !virtualModule || !virtualDir.empty();
    const DownloadMemory memory(virtualDir);
    const DownloadPlan plan = m_changed->isChecked() && remembers
                                  ? memory.Plan(target, records)
                                  : DownloadPlan::Everything(records, "");
    // Nothing changed: with the verify box the module still checks its flash.
    if (plan.send.empty() && !verify) {
        m_done->setText(tr("模块上已是这个工程的内容，没有要发送的改动"));
        return;
    }
    CByteArray bytes = plan.Bytes(records);
    if (verify) CommandBuilder::StartCheck(bytes, m_ws.Settings().instructionMode);
    for (QPushButton* b : m_buttons)
        b->setEnabled(false);
    const SendResult result = m_link.transfer(std::move(bytes), tr("下载"));
    for (QPushButton* b : m_buttons)
        b->setEnabled(true);
    // Opening may have chosen the USB module: the target is named as the link was opened.
    target.link = targetName();
    std::string error;
    if (remembers && !memory.Record(target, records, result, error))
        m_ws.GetMessenger().Tell(error, "提示");
    if (!result.Ok()) {
        m_done->setText(tr("下载没有完成：已发送 %1 字节").arg(result.sent));
        return;
    }
    m_done->setText((m_link.lastAcknowledged()
                         ? tr("已下载 %1 字节（共 %2 条记录中的 %3 条），用时 %4 秒")
                         : tr("已把 %1 字节（共 %2 条记录中的 %3 条）交给 CAN 适配器，用时 %4 "
                              "秒；CAN 连接没有应答，无法确认模块全部收到"))
                        .arg(result.sent)
                        .arg(records.size())
                        .arg(plan.send.size())
                        .arg(m_link.lastSeconds(), 0, 'f', 2));
}

void ProjectManagerDialog::exportImage() {
    std::string written;
    m_done->clear();
    const bool ok = m_image.Export([this, &written](std::string& path) {
        path = m_chooseFile(tr("导出"), tr("Binary Files(*.bin)"), true);
        written = path;
        return !path.empty();
    });
    if (!ok || written.empty()) return;
    const QString path = QString::fromStdString(CLedDoc::BinaryName(written));
    m_done->setText(tr("已导出 %1（%2 字节）").arg(path).arg(QFileInfo(path).size()));
}

void ProjectManagerDialog::showOnModule() {
    CByteArray command;
    if (m_image.ShowPicked(command)) send(command);
}

void ProjectManagerDialog::linkSettings() {
    m_link.editSettings();
    showBaud();
}

void ProjectManagerDialog::crcTable() {
    const std::string path = m_chooseFile(tr("打开校验文件"), tr("校验文件(*.bin)"), false);
    CByteArray table;
    if (!path.empty() && ProjectTools::CrcTableOfFile(path, m_ws, table)) send(table);
}

void ProjectManagerDialog::startCheck() {
    CByteArray command;
    CommandBuilder::StartCheck(command, m_ws.Settings().instructionMode);
    send(command);
}

void ProjectManagerDialog::readVersion() {
    CByteArray command;
    CommandBuilder::ReadVersion(command);
    send(command);
}

void ProjectManagerDialog::readConfiguration() {
    CByteArray command;
    CommandBuilder::ReadConfiguration(command);
    send(command);
}

void ProjectManagerDialog::characterSwitch() {
    CByteArray command;
    // The label shows the new state while the question is asked.
    m_charSwitch->setText(T(m_image.CharacterSwitchOn() ? "关" : "开"));
    if (m_image.ToggleCharacterSwitch(command)) send(command);
    m_charSwitch->setText(T(m_image.CharacterSwitchLabel()));
}

void ProjectManagerDialog::parallelSwitch() {
    CByteArray command;
    if (m_image.ToggleParallelSwitch(command)) send(command);
    m_parallelSwitch->setText(T(m_image.ParallelSwitchLabel()));
}

void ProjectManagerDialog::pageSize() {
    CByteArray command;
    m_pageSize->setText(Q(m_image.PageSize512() ? "256" : "512"));
    if (m_image.TogglePageSize(command)) send(command);
    m_pageSize->setText(Q(m_image.PageSizeLabel()));
}

void ProjectManagerDialog::testDisplay() {
    TestDisplayDialog dialog(m_ws, m_link, this);
    dialog.exec();
}

void ProjectManagerDialog::bitmapReport() {
    LayoutReport::Write(
        LayoutReport::LocalBitmaps(m_ws),
        [this](std::string& path) {
            path = m_chooseFile(tr("导出局部位图信息"), tr("文本(*.txt)"), true);
            return !path.empty();
        },
        m_ws.GetMessenger());
}

void ProjectManagerDialog::backgroundReport() {
    LayoutReport::Write(
        LayoutReport::Backgrounds(m_ws),
        [this](std::string& path) {
            path = m_chooseFile(tr("导出全屏位图信息"), tr("文本(*.txt)"), true);
            return !path.empty();
        },
        m_ws.GetMessenger());
}
