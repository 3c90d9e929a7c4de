#include "ui/InstructionTree.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include "base/Messages.h"
#include "edit/TreeSelection.h"
#include "project/CLedDoc.h"
#include "ui/PageSignals.h"
#include "ui/PageWindow.h"

namespace {

// The places of a line and its ancestors under the root, outermost first.
QList<int> PathOf(QTreeWidgetItem* line) {
    QList<int> path;
    for (; line && line->parent(); line = line->parent())
        path.prepend(line->parent()->indexOfChild(line));
    return path;
}

void AddLines(QTreeWidgetItem* parent, const TreeNode& node) {
    auto* line = new QTreeWidgetItem(parent, {QString::fromStdString(Messages::Tr(node.text))});
    // The box shows the page's selection; clicks go through SelectFromTree instead.
    line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    line->setCheckState(0, node.checked ? Qt::Checked : Qt::Unchecked);
    for (const TreeNode& child : node.children)
        AddLines(line, child);
}

}  // namespace

InstructionTree::InstructionTree(CLedDoc* page, QWidget* parent)
    : QTreeWidget(parent), m_page(page), m_notices(new PageSignals(page, this)) {
    connect(m_notices, &PageSignals::itemsChanged, this, &InstructionTree::refill);
    connect(m_notices, &PageSignals::selectionChanged, this, &InstructionTree::refill);
    connect(m_notices, &PageSignals::pageDestroyed, this, [this] {
        m_page = nullptr;
        clear();
        emit pageGone();
    });
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    refill();
}

void InstructionTree::refill() {
    if (!m_page) return;
    // Which item lines were open, and the current line, survive the rebuild.
    QList<int> opened;
    if (QTreeWidgetItem* root = topLevelItem(0)) {
        for (int i = 0; i < root->childCount(); ++i)
            if (root->child(i)->isExpanded()) opened.append(i);
    }
    const bool hadCurrent = currentItem() != nullptr;
    const QList<int> current = PathOf(currentItem());
    const int scroll = verticalScrollBar()->value();
    clear();
    TreeNode root;
    m_page->BuildTree(root);
    auto* top = new QTreeWidgetItem(this, {QString::fromStdString(Messages::Tr(root.text))});
    top->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    top->setCheckState(0, Qt::Unchecked);
    for (const TreeNode& child : root.children)
        AddLines(top, child);
    top->setExpanded(true);
    for (int i : opened)
        if (i < top->childCount()) top->child(i)->setExpanded(true);
    QTreeWidgetItem* line = top;
    for (int i : current)
        line = (line && i < line->childCount()) ? line->child(i) : nullptr;
    if (hadCurrent && line) setCurrentItem(line);
    verticalScrollBar()->setValue(scroll);
}

void InstructionTree::mousePressEvent(QMouseEvent* event) {
    TreeClick click;
    if (QTreeWidgetItem* line = itemAt(event->position().toPoint())) {
        QTreeWidgetItem* parent = line->parent();
        if (parent && !parent->parent()) {
            click = {1, parent->indexOfChild(line), -1};
        } else if (parent && parent->parent() && !parent->parent()->parent()) {
            click = {2, parent->parent()->indexOfChild(parent), parent->indexOfChild(line)};
        }
    }
    // The tree opens, closes and marks the line as usual, then the page follows.
    QTreeWidget::mousePressEvent(event);
    if (!m_page) return;
    emit linesClicked();
    SelectFromTree(*m_page, click);
}

void InstructionTree::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Delete || !m_page) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    // One undo step; the page tells every view, this tree included.
    m_page->DeleteSelection();
}

TreeWindow::TreeWindow(PageWindow* owner, QWidget* parent)
    : QMdiSubWindow(parent), m_owner(owner), m_tree(new InstructionTree(owner->page())) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_tree);
    setWindowIcon(QIcon(QStringLiteral(":/icons/instruction-tree.svg")));
    setWindowTitle(tr("%1 指令集").arg(QString::fromStdString(owner->page()->m_strTitle)));
    resize(520, 360);
    // The window goes with its page.
    connect(m_tree, &InstructionTree::pageGone, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) close();
        });
    });
}

PageWindow* TreeWindow::owner() const {
    return m_owner;
}
