#pragma once
// Two panes side by side with a one-pixel divider line and an eight-pixel drag handle over it.
// The left pane's width follows PaneLayout::leftWidth over the full width (line included); the
// right pane takes the rest. Dragging the handle reports a new split fraction, kept so that
// neither pane gets narrower than minPane; the owner hands it back through setFraction, so the
// panes follow the pointer live, and may store it once the drag has ended. With the right pane
// hidden the left one fills the width and the fraction is left alone, ready for when the right
// pane returns.

#include <QWidget>

#include <optional>

class PaneDividerHandle;

class PaneSplitView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double fraction READ fraction WRITE setFraction NOTIFY fractionChanged)
    Q_PROPERTY(bool rightHidden READ rightHidden WRITE setRightHidden NOTIFY rightHiddenChanged)

public:
    static constexpr int minPane = 220;
    static constexpr int lineWidth = 1;
    static constexpr int handleWidth = 8;

    PaneSplitView(QWidget *left, QWidget *right, QWidget *parent = nullptr);

    double fraction() const { return m_fraction; }
    void setFraction(double fraction);
    bool rightHidden() const { return m_rightHidden; }
    void setRightHidden(bool hidden);

    void setLineColor(const QColor &color);

    QWidget *leftPane() const { return m_left; }
    QWidget *rightPane() const { return m_right; }
    QWidget *divider() const;

    // The fraction a drag of `translation` pixels gives when it began at `startFraction`, or none
    // when the width leaves no room for two panes and the drag must be ignored.
    [[nodiscard]] static std::optional<double> draggedFraction(double startFraction, double translation, double total);

Q_SIGNALS:
    void fractionChanged(double fraction);
    void rightHiddenChanged(bool hidden);
    // The user moved the divider; the owner decides whether to take the new fraction.
    void fractionDragged(double fraction);
    // The user let go of the divider after moving it.
    void dragEnded();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placePanes();
    void dragMoved(double translation);

    QWidget *m_left;
    QWidget *m_right;
    QWidget *m_line;
    PaneDividerHandle *m_handle;
    double m_fraction = 0.5;
    bool m_rightHidden = false;
    std::optional<double> m_dragStartFraction;
};
