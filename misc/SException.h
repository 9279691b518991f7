// SPDX-License-Identifier: GPL-3.0-or-later
// The one exception of the program: inconsistent PAT-B files and one selection test.
#pragma once

#include <QString>
#include <exception>
#include <string>

class SException : public std::exception {
public:
    SException(int code, const QString &message) : mCode(code), mMessage(message), mWhat(message.toStdString()) {}

    int code() const { return mCode; }
    QString message() const { return mMessage; }
    const char *what() const noexcept override { return mWhat.c_str(); }

private:
    int mCode;
    QString mMessage;
    std::string mWhat;
};
