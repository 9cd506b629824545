#include "roomdesk/views/QrCode.h"

#include <qrencode.h>

namespace Vellaris
{

QrMatrix encodeQr(const std::string& text)
{
    QrMatrix matrix;
    if (text.empty() || text.find('\0') != std::string::npos)
        return matrix;
    // Version 0: the smallest that holds the text; 8-bit mode keeps upper and lower case.
    QRcode* code = QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M);
    if (!code)
        return matrix;
    matrix.size = code->width;
    matrix.dark.resize(size_t(code->width) * size_t(code->width));
    for (size_t i = 0; i < matrix.dark.size(); ++i)
        matrix.dark[i] = (code->data[i] & 1) != 0; // bit 0: dark; the others say what the module is
    QRcode_free(code);
    return matrix;
}

} // namespace Vellaris
