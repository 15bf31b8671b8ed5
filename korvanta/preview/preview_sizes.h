#pragma once
// The sizes a preview player derives from its decoder's output: thumbnails,
// the enlarged view and the video rectangle's proportions.

// Height for a width at the picture's aspect: 16:9 or 4:3 (integer division).
constexpr int AspectHeight(int width, bool wide) { return wide ? width * 9 / 16 : width * 3 / 4; }

struct PreviewSizes {
    int thumbnailWidth = 0;
    int thumbnailHeight = 0;
    int displayWidth = 0;
    int displayHeight = 0;
    int decodedDisplayHeight = 0;
};

// decodedWidth x decodedHeight is the decoder's output at VideoResolution
// (0 full, 1 half, 2 quarter, 3 eighth; other values count as quarter).
constexpr PreviewSizes ComputePreviewSizes(long long videoResolution, int decodedWidth, int decodedHeight,
                                           bool wide) {
    PreviewSizes sizes;
    switch (videoResolution) {
        case 0:
            sizes.thumbnailWidth = decodedWidth / 4;
            sizes.thumbnailHeight = decodedHeight / 4;
            sizes.displayWidth = decodedWidth / 2;
            break;
        case 1:
            sizes.thumbnailWidth = decodedWidth / 2;
            sizes.thumbnailHeight = decodedHeight / 2;
            sizes.displayWidth = decodedWidth;
            break;
        case 3:
            sizes.thumbnailWidth = decodedWidth;
            sizes.thumbnailHeight = decodedHeight;
            sizes.displayWidth = 4 * decodedWidth;
            break;
        default:
            sizes.thumbnailWidth = decodedWidth;
            sizes.thumbnailHeight = decodedHeight;
            sizes.displayWidth = 2 * decodedWidth;
            break;
    }
    sizes.displayHeight = AspectHeight(sizes.displayWidth, wide);
    sizes.decodedDisplayHeight = AspectHeight(decodedWidth, wide);
    return sizes;
}
