#pragma once
// Change notifications for views: a page or a workspace calls its observers once for each
// change, after it is complete; a change that leaves a value as it was is not reported.
// Observers are not owned and must remove themselves before they go.

class CLedDoc;

class PageObserver {
public:
    virtual ~PageObserver() = default;
    // What the page shows changed: items of the current list were added, removed or
    // changed, another list became current (undo, redo, loading), or the background.
    virtual void ItemsChanged(CLedDoc& page) { (void)page; }
    // Another item (or none) is selected.
    virtual void SelectionChanged(CLedDoc& page) { (void)page; }
    virtual void ModifiedChanged(CLedDoc& page, bool modified) {
        (void)page;
        (void)modified;
    }
    // Undo or redo became available or unavailable.
    virtual void UndoRedoChanged(CLedDoc& page, bool canUndo, bool canRedo) {
        (void)page;
        (void)canUndo;
        (void)canRedo;
    }
    // The page is being destroyed: the observer is already removed and must not touch it
    // again.
    virtual void PageDestroyed(CLedDoc& page) { (void)page; }
};

class WorkspaceObserver {
public:
    virtual ~WorkspaceObserver() = default;
    // A page was opened or created.
    virtual void PageOpened(CLedDoc& page) { (void)page; }
    // A page is being closed; it is destroyed right after.
    virtual void PageClosed(CLedDoc& page) { (void)page; }
    // A project was created or opened, its pages already opened.
    virtual void ProjectOpened() {}
    virtual void ProjectClosed() {}
};
