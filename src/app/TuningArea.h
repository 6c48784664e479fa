#pragma once
// The middle of a main window: the tuning panel with the receiver information
// beside it when the window is wide enough for both, else the panel alone.

#include <QWidget>

class KiwiSDRClient;
class ReceiverInfoView;
class TuningPanel;

class TuningArea : public QWidget {
    Q_OBJECT
public:
    static constexpr int minimumPanelWidth = 420;
    static constexpr int maximumPanelWidth = 560;
    static constexpr int minimumInfoWidth = 220;
    static constexpr int spacing = 24;

    explicit TuningArea(KiwiSDRClient& client, QWidget* parent = nullptr);

    bool showsReceiverInfo() const;
    // The narrowest width at which the receiver information fits beside the panel.
    int sideBySideWidth() const;

    TuningPanel* tuningPanel() const { return m_panel; }
    ReceiverInfoView* receiverInfo() const { return m_info; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange(int width);

    QWidget* m_panelColumn;
    TuningPanel* m_panel;
    ReceiverInfoView* m_info;
};
