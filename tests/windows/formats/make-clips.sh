#!/usr/bin/env bash
# Makes the clips of the formats test with ffmpeg: make-clips.sh FOLDER
#
# Every clip with video is 640 x 360 at 25 frames a second and 4 s long, one
# saturated colour a second (red, green, blue, white), so a pixel says both
# that the picture is shown and which second it comes from, after lossy
# coding too. Each coded clip has a key frame every second, as cameras and
# phones write them. Sound, where the format has it, is a 440 Hz tone.
# Beside each clip, NAME.duration holds its length in seconds as ffprobe
# reads it: its longest stream (sound coded in frames can outlast the video).
# Clips already made are kept (a file is only complete once renamed).
set -euo pipefail
out="$1"
mkdir -p "$out"

seconds="color=c=red:s=640x360:r=25:d=1[a];color=c=lime:s=640x360:r=25:d=1[b];"
seconds+="color=c=blue:s=640x360:r=25:d=1[c];color=c=white:s=640x360:r=25:d=1[d];"
seconds+="[a][b][c][d]concat=n=4:v=1:a=0,format=yuv420p"
tone="sine=frequency=440:sample_rate=44100:duration=4"

# clip NAME [ffmpeg options for video and sound...]
clip() {
    local name="$1"
    shift
    [ -s "$out/$name" ] && [ -s "$out/$name.duration" ] && return 0
    local tmp="$out/.part-$name"
    ffmpeg -nostdin -loglevel error -y "$@" "$tmp"
    longest_stream "$tmp" > "$out/$name.duration"
    mv "$tmp" "$out/$name"
}
# The longest stream's duration; the container's where no stream has one.
longest_stream() {
    local longest
    longest="$(ffprobe -v error -show_entries stream=duration -of csv=p=0 "$1" \
               | { grep -E '^[0-9.]+$' || true; } | sort -g | tail -n 1)"
    [ -n "$longest" ] || longest="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")"
    echo "$longest"
}
video_and_sound() {
    local name="$1" format="$2"
    shift 2
    clip "$name" -f lavfi -i "$seconds" -f lavfi -i "$tone" -t 4 "$@" -f "$format"
}
sound_only() {
    local name="$1" format="$2"
    shift 2
    clip "$name" -f lavfi -i "$tone" -t 4 "$@" -f "$format"
}

video_and_sound mjpeg-pcm.avi avi -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -c:a pcm_s16le
video_and_sound vp8-vorbis.webm webm -c:v libvpx -b:v 1M -g 25 -c:a libvorbis
video_and_sound h264-aac.mp4 mp4 -c:v libx264 -g 25 -c:a aac
video_and_sound h264-vorbis.mkv matroska -c:v libx264 -g 25 -c:a libvorbis
video_and_sound hevc-aac.mp4 mp4 -c:v libx265 -x265-params log-level=error -g 25 -tag:v hvc1 -c:a aac
video_and_sound mpeg4-mp3.avi avi -c:v mpeg4 -q:v 3 -g 25 -c:a libmp3lame
video_and_sound wmv2-wma.wmv asf -c:v wmv2 -b:v 1M -g 25 -c:a wmav2
video_and_sound mpeg1-mp2.mpg mpeg -c:v mpeg1video -b:v 2M -g 25 -c:a mp2
sound_only tone.mp3 mp3 -c:a libmp3lame
sound_only tone.wav wav -c:a pcm_s16le
sound_only tone.m4a ipod -c:a aac
sound_only tone.ogg ogg -c:a libvorbis
