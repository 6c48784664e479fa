#pragma once
// A Close button for a window of its own, and the shortcuts that close it as
// the editors close: Escape and Ctrl+W. The caller places the buttons.

class QDialogButtonBox;
class QWidget;

QDialogButtonBox* addCloseButtons(QWidget& window);
