#include "ui/PageSignals.h"

#include "project/CLedDoc.h"

PageSignals::PageSignals(CLedDoc* page, QObject* parent) : QObject(parent), m_page(page) {
    if (m_page) m_page->AddObserver(this);
}

PageSignals::~PageSignals() {
    forget();
}

void PageSignals::forget() {
    if (m_page) m_page->RemoveObserver(this);
    m_page = nullptr;
}

void PageSignals::PageDestroyed(CLedDoc&) {
    m_page = nullptr;
    emit pageDestroyed();
}
