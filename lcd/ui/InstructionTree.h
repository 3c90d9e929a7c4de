#pragma once
// The page's instruction tree: the screen line, the clear-screen line of a main page and
// every item's description lines, each with a check box showing its selection. Clicking
// a line selects what it names; Delete deletes the selection (undoable). The tree follows
// every change of the page as the page reports it.

#include <QMdiSubWindow>
#include <QPointer>
#include <QTreeWidget>

class CLedDoc;
class PageSignals;
class PageWindow;

class InstructionTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit InstructionTree(CLedDoc* page, QWidget* parent = nullptr);

    // Null once the page has gone.
    CLedDoc* page() const { return m_page; }
    // Rebuilds every line from the page, keeping the opened lines and the scroll place.
    void refill();

signals:
    // A click chose what is selected (the canvas goes back to its selection tool).
    void linesClicked();
    // The page has been destroyed; the tree is empty.
    void pageGone();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CLedDoc* m_page;
    PageSignals* m_notices;
};

// The instruction tree's own window, opened and closed from its page's window.
class TreeWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit TreeWindow(PageWindow* owner, QWidget* parent = nullptr);
    PageWindow* owner() const;
    InstructionTree* tree() const { return m_tree; }

private:
    QPointer<PageWindow> m_owner;
    InstructionTree* m_tree;
};
