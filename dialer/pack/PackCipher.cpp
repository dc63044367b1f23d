// The traditional zip cipher: three keys stepped by CRC-32 and a linear congruence.
#include "dialer/pack/PackCipher.h"

#include <zlib.h>

namespace {

DWORD Crc32Step(DWORD crc, BYTE value) {
    static const z_crc_t* const table = get_crc_table();
    return static_cast<DWORD>(table[(crc ^ value) & 0xFF]) ^ (crc >> 8);
}

}  // namespace

CPackCipher::CPackCipher(const char* password) : m_keys{0x12345678u, 0x23456789u, 0x34567890u} {
    for (const char* p = password; p != nullptr && *p != 0; ++p) Update(static_cast<BYTE>(*p));
}

BYTE CPackCipher::KeyByte() const {
    const DWORD temp = (m_keys[2] & 0xFFFF) | 2;
    return static_cast<BYTE>((temp * (temp ^ 1)) >> 8);
}

void CPackCipher::Update(BYTE plain) {
    m_keys[0] = Crc32Step(m_keys[0], plain);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1;
    m_keys[2] = Crc32Step(m_keys[2], static_cast<BYTE>(m_keys[1] >> 24));
}

BYTE CPackCipher::Decrypt(BYTE cipher) {
    const BYTE plain = cipher ^ KeyByte();
    Update(plain);
    return plain;
}

BYTE CPackCipher::Encrypt(BYTE plain) {
    const BYTE cipher = plain ^ KeyByte();
    Update(plain);
    return cipher;
}

void CPackCipher::Decrypt(BYTE* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) data[i] = Decrypt(data[i]);
}

void BuildPackPassword(char (&password)[kPackPasswordChars + 1]) {
    password[0] = 'K';
    password[1] = 'v';
    password[2] = '3';
    password[3] = 'n';
    password[4] = 'P';
    password[5] = 'q';
    password[6] = '8';
    password[7] = 'z';
    password[8] = 0;
}
