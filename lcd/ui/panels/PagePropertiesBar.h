#pragma once
// The page-properties bar: the active page's delay, kind, background bitmap id, background
// and drawing colours, its screen parameters, and the page switch of the project's pages.

#include <QWidget>
#include <functional>
#include <string>

class PropertyPanels;
class QComboBox;
class QLabel;
class QLineEdit;
class ColourSwatch;

class PagePropertiesBar : public QWidget {
    Q_OBJECT
public:
    // The open-image dialog of the background bitmap: the chosen path, false when cancelled.
    using ImageChooser = std::function<bool(std::string&)>;

    explicit PagePropertiesBar(PropertyPanels& owner, QWidget* parent = nullptr);
    // Replaces the open-image dialog (tests answer it without a window).
    void setImageChooser(ImageChooser chooser) { m_chooser = std::move(chooser); }
    // Shows the active page's fields and the project's pages.
    void refresh();

private:
    void chooseKind(int kind);
    void switchPage(int index);
    bool chooseImage(std::string& path);

    PropertyPanels& m_owner;
    ImageChooser m_chooser;
    QComboBox* m_delay;
    QComboBox* m_kind;
    QComboBox* m_backId;
    QComboBox* m_pages;
    ColourSwatch* m_backSwatch;
    ColourSwatch* m_drawSwatch;
    QLineEdit* m_backCode;
    QLineEdit* m_drawCode;
    QLabel* m_screen;
};
