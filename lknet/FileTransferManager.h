#pragma once
// File transfer: this system serves no files, so the manager only lets the
// packets pass. A server answers a file request itself.

#include "lknet/lknet.h"

namespace lknet
{

class FileTransferManager final : public IFileTransferManager
{
public:
    int handlePacket(int context, const Packet* packet) override;
    void cancelTransfers(int peer, int reason) override;
};

} // namespace lknet
