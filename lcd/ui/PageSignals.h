#pragma once
// One page's change notifications as Qt signals, for the windows that show the page. It
// stops listening when the page goes (pageDestroyed), so a window may outlive its page.

#include <QObject>

#include "project/Observers.h"

class PageSignals : public QObject, public PageObserver {
    Q_OBJECT
public:
    PageSignals(CLedDoc* page, QObject* parent = nullptr);
    ~PageSignals() override;
    PageSignals(const PageSignals&) = delete;
    PageSignals& operator=(const PageSignals&) = delete;

    // The page listened to, or null once it is gone or forgotten.
    CLedDoc* page() const { return m_page; }
    // Stops listening (the page stays).
    void forget();

signals:
    void itemsChanged();
    void selectionChanged();
    void modifiedChanged(bool modified);
    void undoRedoChanged(bool canUndo, bool canRedo);
    void pageDestroyed();

private:
    void ItemsChanged(CLedDoc&) override { emit itemsChanged(); }
    void SelectionChanged(CLedDoc&) override { emit selectionChanged(); }
    void ModifiedChanged(CLedDoc&, bool modified) override { emit modifiedChanged(modified); }
    void UndoRedoChanged(CLedDoc&, bool canUndo, bool canRedo) override {
        emit undoRedoChanged(canUndo, canRedo);
    }
    void PageDestroyed(CLedDoc&) override;

    CLedDoc* m_page;
};
