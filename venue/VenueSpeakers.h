#pragma once

namespace Vellaris
{

class SpeakerNetworkManager;

// The application's speaker list when it exists (venues never create it), or nullptr. Borrowed.
SpeakerNetworkManager* findSpeakerNetwork();

} // namespace Vellaris
