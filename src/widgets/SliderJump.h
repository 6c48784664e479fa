#pragma once
// A click on a slider's track moves the handle to the click, as the listener
// expects of a volume or gain control, instead of a page toward it.

class QSlider;

void jumpToClick(QSlider& slider);
