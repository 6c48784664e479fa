#pragma once
// What the receiver's decoder decodes during a recording, beside the sound:
// text into <stem>.txt, each line with the UTC time it began, and messages
// into <stem>.csv (header first, a row each). A file is made when its first
// decode comes, never over one that is there; each write goes to the disk
// at once, so a killed program leaves all but the open line.

#include "model/DecoderOutput.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <optional>

class DecodeFiles {
public:
    explicit DecodeFiles(QString stem);

    void write(const DecoderOutput& output, double carrierHz, const QDateTime& utc);
    // Why a file could not be made or written, in words for the user; the
    // first reason stays, and after it no file is begun and the one that
    // failed gets nothing more.
    const std::optional<QString>& problem() const { return m_problem; }
    QString textPath() const { return m_stem + QStringLiteral(".txt"); }
    QString csvPath() const { return m_stem + QStringLiteral(".csv"); }

private:
    void append(QFile& file, const QString& path, const QString& header, const QString& text);
    void fail(QFile& file, const QString& path);

    const QString m_stem;
    QFile m_text;
    QFile m_csv;
    DecodedTextStamper m_stamper;
    std::optional<QString> m_problem;
};
