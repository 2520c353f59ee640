#pragma once
#include <QByteArray>

namespace selvane {

// The status page: one HTML document with its style and script inline, no
// other resource. The script reads /status.json every kStatusPageRefreshMs
// and puts every text it gets into the page as text (textContent), never as
// markup; the telemetry plots are SVG elements it makes.
inline constexpr int kStatusPageRefreshMs = 3000;

QByteArray StatusPageHtml();

// The Content-Security-Policy the page is served with: its own inline
// style and script by their hashes, requests to its own server only.
QByteArray StatusPagePolicy();

} // namespace selvane
