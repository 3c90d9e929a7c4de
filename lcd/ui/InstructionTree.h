#pragma once
// The page's instruction tree: the screen line, the clear-screen line of a main page and
// every item's description lines, each with a check box showing its selection. Clicking
// a line selects what it names; Delete deletes the selection (undoable).

#include <QMdiSubWindow>
#include <QPointer>
#include <QTreeWidget>

class CLedDoc;
class PageWindow;

class InstructionTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit InstructionTree(CLedDoc* page, QWidget* parent = nullptr);

    CLedDoc* page() const { return m_page; }
    // Rebuilds every line from the page, keeping the opened lines and the scroll place.
    void refill();

signals:
    // A click chose what is selected (the canvas goes back to its selection tool).
    void linesClicked();
    // The selection or the items changed; every view of the page must follow.
    void pageChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CLedDoc* m_page;
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
