// The traditional zip cipher with which skin packs are encrypted, and the pack password
// that every pack shares. The pack builder encrypts with it; the pack reader decrypts.
#pragma once

#include <cstddef>

#include "platform/base/Types.h"

// Every encrypted entry starts with this many bytes of encryption header; the last one is
// the check byte.
constexpr std::size_t kPackEncryptionHeaderBytes = 12;
constexpr std::size_t kPackPasswordChars = 8;

class CPackCipher {
public:
    // Keys made from a terminated password.
    explicit CPackCipher(const char* password);

    BYTE Decrypt(BYTE cipher);
    BYTE Encrypt(BYTE plain);
    void Decrypt(BYTE* data, std::size_t size);

private:
    BYTE KeyByte() const;
    void Update(BYTE plain);

    DWORD m_keys[3];
};

// Writes the pack password and its terminator into password. It is put together at run
// time, so that it does not stand as one string in the library.
void BuildPackPassword(char (&password)[kPackPasswordChars + 1]);
