#!/usr/bin/env bash
# Fails when a relative link in README.md or docs/*.md names a file or folder that does not
# exist, or an anchor (the part after '#') into a Markdown file that none of its headings
# makes. Links with a scheme (https:, mailto:) are not followed. Code spans and fenced code
# blocks are not read for links.
# Usage: check-links.sh SOURCE_DIR
set -euo pipefail

cd "$1"

if ! command -v perl >/dev/null 2>&1; then
    echo "perl is not installed; skipping the link check."
    exit 77
fi

files=(README.md)
for file in docs/*.md; do
    [ -f "$file" ] && files+=("$file")
done

# For each file, prints "FILE:LINE: message" for every broken link, then the number of links
# checked on a line of its own. Anchors are made as GitHub makes them: lower case, anything
# but letters, digits, spaces, '-' and '_' dropped, spaces made '-', a repeat given -1, -2, ...
# shellcheck disable=SC2016
checker='
use strict; use warnings; use utf8;
use File::Basename qw(dirname);
binmode STDOUT, ":encoding(UTF-8)";

# The text with fenced blocks blank, keeping their line breaks; code spans blank as well
# unless asked to keep them (the code in a heading is part of its anchor).
sub text_of {
    my ($path, $keep_spans) = @_;
    open(my $in, "<:encoding(UTF-8)", $path) or return "";
    local $/; my $text = <$in>; close $in;
    $text =~ s{^ {0,3}(```+|~~~+).*?^ {0,3}\1[^\n]*$}{ my $m = $&; $m =~ tr/\n//cd; $m }gmse;
    $text =~ s{(`+)(.+?)\1}{ my $m = $2; $m =~ tr/\n//cd unless $keep_spans; $m }gse;
    return $text;
}

sub unescape {
    my ($text) = @_;
    utf8::encode($text);
    $text =~ s/%([0-9A-Fa-f]{2})/chr hex $1/ge;
    return $text;
}

my %anchors;
sub anchors_of {
    my ($path) = @_;
    return $anchors{$path} if $anchors{$path};
    my (%made, %seen);
    for my $heading (text_of($path, 1) =~ /^ {0,3}#{1,6}[ \t]+(.*?)[ \t#]*$/mg) {
        my $slug = lc $heading;
        $slug =~ s/[^\p{L}\p{N}\p{M} _-]//g;
        $slug =~ s/ /-/g;
        my $n = $seen{$slug}++;
        $made{$n ? "$slug-$n" : $slug} = 1;
    }
    return $anchors{$path} = \%made;
}

my ($checked, $broken) = (0, 0);
for my $file (@ARGV) {
    my $text = text_of($file);
    my @lines = split /\n/, $text, -1;
    for my $i (0 .. $#lines) {
        my @targets = $lines[$i] =~ /\]\(\s*<?([^)\s>]+)/g;
        push @targets, $1 if $lines[$i] =~ /^ {0,3}\[[^\]]+\]:\s*<?([^\s>]+)/;
        for my $target (@targets) {
            next if $target =~ /^[A-Za-z][A-Za-z0-9+.-]*:/;
            $checked++;
            my ($path, $anchor) = split /#/, $target, 2;
            if (defined $anchor) {
                $anchor = unescape($anchor);
                utf8::decode($anchor);
            }
            my $resolved = $path eq "" ? $file : $path =~ m{^/} ? ".$path" : dirname($file) . "/$path";
            my $on_disk = unescape($resolved);
            my $problem;
            if (!-e $on_disk) {
                $problem = "$path does not exist";
            } elsif (defined $anchor && $anchor ne "" && $resolved =~ /\.md$/i
                && !anchors_of($on_disk)->{lc $anchor}) {
                $problem = "no heading of $resolved makes the anchor #$anchor";
            }
            if ($problem) {
                print "$file:", $i + 1, ": ($target) $problem\n";
                $broken++;
            }
        }
    }
}
print "$checked\n";
exit($broken ? 1 : 0);
'

status=0
report=$(perl -e "$checker" "${files[@]}") || status=$?
checked=$(tail -n 1 <<<"$report")
sed '$d' <<<"$report"
if [ "$status" -ne 0 ]; then
    echo "Some links are broken (see above)." >&2
    exit 1
fi
if [ "$checked" -eq 0 ]; then
    echo "error: found no relative links at all in ${files[*]}" >&2
    exit 1
fi
echo "$checked relative links in ${#files[@]} file(s) name what exists."
