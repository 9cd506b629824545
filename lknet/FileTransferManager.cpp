#include "lknet/FileTransferManager.h"

#include "lknet/NetworkManager.h"

namespace lknet
{

int FileTransferManager::handlePacket(int /*context*/, const Packet* /*packet*/)
{
    return kOk; // no transfer is ever running
}

void FileTransferManager::cancelTransfers(int /*peer*/, int /*reason*/) {}

} // namespace lknet

lknet::INetworkManager* LKGetNetworkManager()
{
    static lknet::NetworkManager manager;
    return &manager;
}

lknet::IFileTransferManager* LKGetFileTransferManager()
{
    static lknet::FileTransferManager manager;
    return &manager;
}
