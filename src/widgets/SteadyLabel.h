#pragma once
// Sets the text of a label that changes often (a reading, a clock) without
// asking the window for a new layout each time: the label keeps a fixed size
// that grows when a text needs more room and never shrinks. A label of fixed
// size tells no layout about a new text, so the window is not laid out again
// once a second or with every reading.

class QLabel;
class QString;

void setSteadyText(QLabel& label, const QString& text);
