#pragma once
// The settings dialog's tab control. It draws its own tab headers (normal,
// hot under the mouse, selected) and holds one page per tab at (4, 28)
// inside itself; only the selected tab's page is visible.
#include <QWidget>

#include <vector>

class PageTabCtrl final : public QWidget {
public:
    static constexpr QPoint kPageOffset{4, 28};

    explicit PageTabCtrl(QWidget* parent = nullptr);

    // Adds a tab showing caption with page (a child of this control) under it.
    void AddTab(const QString& caption, QWidget& page);
    // Hides the selected page and shows the page of tab index.
    void Select(int index);
    int SelectedIndex() const { return selected_; }
    int HotIndex() const { return hot_; }
    int Count() const { return static_cast<int>(tabs_.size()); }
    // The header of tab index, in this control's coordinates.
    QRect TabRect(int index) const;
    // The area each page gets.
    QSize PageSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Tab {
        QString caption;
        QWidget* page;  // a child widget, owned by Qt's parent chain
    };
    int TabAt(QPoint point) const;
    void SetHot(int index);
    void PaintBody(QPainter& dc) const;
    void PaintHeader(QPainter& dc, int index) const;

    std::vector<Tab> tabs_;
    int selected_ = -1;
    int hot_ = -1;
};
