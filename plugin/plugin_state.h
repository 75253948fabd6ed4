// State of the plug-in shell shared with the rest of the plug-in.
#pragma once

// The caches must be rebuilt before they are next used. Starts set; set whenever the
// scene, the view or the document may have changed; cleared by the rebuilds of the event
// handling and of the animation pass.
extern bool gRecache;
