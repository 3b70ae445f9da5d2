#include "app/process_objects.h"

Scene scene;
ViewState viewState;
DepthBuffer depthBuffer;
EdgeTable edgeTable;
std::vector<MipChain> mipChains;
