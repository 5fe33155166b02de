#pragma once
// The counts table of the sync screen: a heading row and one row per folder marked as shown, each
// with the received and the sent count, drawn over a stretched card picture. A count of four or
// more characters moves 8 pixels left to stay in its column.
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>

namespace orvale::ui {

class DrawCallback : public QWidget {
  public:
    static constexpr int kRows = 3;
    enum Column { Received = 0, Sent = 1 };

    explicit DrawCallback(QWidget* parent = nullptr);

    void setHeadings(const QString& changes, const QString& received, const QString& sent);
    void setRowName(int row, const QString& name);
    void setShown(int row, bool shown);
    bool shown(int row) const;
    void setCount(int row, Column column, int value);
    int count(int row, Column column) const;
    void clearCounts();

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void describe();

    std::array<QString, 3> headings_;
    std::array<QString, kRows> names_;
    std::array<bool, kRows> shown_{};
    std::array<std::array<int, 2>, kRows> counts_{};
    QPixmap background_;
};

}  // namespace orvale::ui
