#pragma once
// The viewer's own failure: a number and a description, reported by the handlers that
// trap failures as "<prefix><number>) - <description>".

#include <QString>

#include <exception>

namespace ktdv {

class ViewerError : public std::exception {
public:
    // Numbers follow the classic run-time numbering where one exists.
    static constexpr int kTypeMismatch = 13;
    static constexpr int kOverflow = 6;
    static constexpr int kFileNotFound = 53;
    static constexpr int kSilent = 480;  // ends page loading without a message
    static constexpr int kComponent = 50000;

    ViewerError(int number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8()) {}
    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

}  // namespace ktdv
