#pragma once
// The picker of the autosync unit: a CStaticEx showing the chosen row's name, and a CComboList with
// the rows "Day", "Hour", "Minute" that opens just under it. A tap on the face opens the list, or
// closes it unchanged when open; choosing a row puts its name on the face and closes the list.
#include <QPointer>
#include <QWidget>
#include <functional>

namespace orvale::ui {

class CComboList;
class CStaticEx;

class UnitPicker : public QWidget {
  public:
    // The list is a child of `overlayHost` (which must outlive the picker), so that it lies over
    // the controls below the picker.
    UnitPicker(QWidget* overlayHost, QWidget* parent = nullptr);

    // -1 when no row is chosen (a record holding a unit the list does not offer).
    int currentRow() const { return current_; }
    void setCurrentRow(int row);
    bool isOpen() const;
    void setRowHeight(int height);
    // Called after the list opened, e.g. to scroll it into view.
    void setOnOpened(std::function<void(QWidget* list)> onOpened) { onOpened_ = std::move(onOpened); }

    CStaticEx* face() const { return face_; }
    CComboList* list() const { return list_; }

  protected:
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void toggle();
    void choose();
    void close();

    CStaticEx* face_;
    CComboList* list_;
    QWidget* host_;
    int current_ = 0;
    std::function<void(QWidget*)> onOpened_;
};

}  // namespace orvale::ui
