#include "app/DecodeFiles.h"

#include <QCoreApplication>
#include <QDir>

DecodeFiles::DecodeFiles(QString stem)
    : m_stem(std::move(stem))
{
}

void DecodeFiles::write(const DecoderOutput& output, double carrierHz, const QDateTime& utc)
{
    if (!output.text.isEmpty())
        append(m_text, textPath(), {}, m_stamper.stamp(output.text, utc));
    if (output.messages.isEmpty())
        return;
    QString lines;
    for (const DecodedMessage& message : output.messages)
        lines += decodedCsvLine(decodedRow(message, carrierHz, utc)) + u'\n';
    append(m_csv, csvPath(), decodedCsvHeader() + u'\n', lines);
}

void DecodeFiles::append(QFile& file, const QString& path, const QString& header, const QString& text)
{
    if (m_problem && !file.isOpen())
        return;
    if (!file.isOpen()) {
        file.setFileName(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(header.toUtf8()) < 0) {
            fail(file, path);
            return;
        }
    }
    if (file.write(text.toUtf8()) < 0 || !file.flush())
        fail(file, path);
}

void DecodeFiles::fail(QFile& file, const QString& path)
{
    if (!m_problem) {
        m_problem = QCoreApplication::translate("DecodeFiles", "The decodes could not be saved in %1: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString());
    }
    file.close();
}
