#include "mirror/ClientImplementation.h"

namespace Vellaris::LK
{

ClientImplementation::ClientImplementation(lknet::INetworkManager* network,
                                           lknet::IFileTransferManager* transfers)
    : network(network ? network : LKGetNetworkManager()),
      transfers(transfers ? transfers : LKGetFileTransferManager())
{
}

} // namespace Vellaris::LK
