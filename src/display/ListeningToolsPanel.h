#pragma once
// The listening tools of a main window, beside its tuning panel: squelch
// (with its open/closed light), noise reduction, notch and noise blanker,
// each a check box with its numbers. Every change goes to the window's
// listening chain at once and is announced, so the window can keep it; what
// the chain applied (clamped to the ranges) is what the controls show. The
// controls work whether or not the window is connected.

#include "model/ListeningSettings.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class ListeningChain;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

class ListeningToolsPanel : public QWidget {
    Q_OBJECT
public:
    // How often the squelch light is brought up to date while the squelch is on.
    static constexpr int squelchPollMs = 100;

    explicit ListeningToolsPanel(ListeningChain& chain, QWidget* parent = nullptr);

    ListeningSettings settings() const { return m_settings; }
    // Applies the settings (clamped) without announcing them.
    void setSettings(const ListeningSettings& settings);
    // Switches the notch on at an audio frequency, clamped to its range.
    void notchAt(double hz);

signals:
    void settingsChanged(const ListeningSettings& settings);

private:
    void change(const std::function<void(ListeningSettings&)>& edit);
    void apply(const ListeningSettings& settings);
    void showSettings();
    void refreshSquelchLight();

    ListeningChain& m_chain;
    ListeningSettings m_settings;
    QTimer m_squelchPoll;

    QCheckBox* m_squelch;
    QSpinBox* m_squelchLevel;
    QLabel* m_squelchLight;
    QCheckBox* m_noiseReduction;
    QSpinBox* m_noiseReductionStrength;
    QCheckBox* m_notch;
    QSpinBox* m_notchFrequency;
    QSpinBox* m_notchWidth;
    QCheckBox* m_blanker;
    QSpinBox* m_blankerThreshold;
};
