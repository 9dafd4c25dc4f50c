#!/usr/bin/perl
# mapfeed.pl: converts Arc/Info generate and X,Y text files into a 2D design file, with the
# command line the Mapfeed program composes. The manual is at the end of this file.
#
# The conversion is done by the engine mapfeed-convert, started here with the arguments
# unchanged. It is looked for, in this order:
#   - $MAPFEED_CONVERT, when set (tests point it at a build folder of their own);
#   - ../build/bin/mapfeed-convert beside this script's real path (the source tree, built by
#     ./run.sh or ./test.sh);
#   - ../../libexec/mapfeed/convert (installed: this script in share/mapfeed, the engine in the
#     package's private folder libexec/mapfeed).
use v5.36;

use Cwd qw(realpath);
use File::Basename qw(dirname);

my $NAME = 'mapfeed.pl';
my $EXIT_INTERNAL = 70;    # see EXIT STATUS: the engine is missing or cannot be started

my $here = dirname(realpath(__FILE__) // __FILE__);
my @places = defined $ENV{MAPFEED_CONVERT} && $ENV{MAPFEED_CONVERT} ne ''
    ? ($ENV{MAPFEED_CONVERT})
    : ("$here/../build/bin/mapfeed-convert", "$here/../../libexec/mapfeed/convert");
my ($engine) = grep { -f $_ && -x _ } @places;

unless (defined $engine) {
    print STDERR "$NAME: the converter engine mapfeed-convert is missing (looked for "
        . join(' and ', @places) . '); build it with ./run.sh, or reinstall mapfeed; nothing was written to the design file' . "\n";
    exit $EXIT_INTERNAL;
}
exec { $engine } $engine, @ARGV
    or print STDERR "$NAME: the converter engine $engine cannot be started: $!; nothing was written to the design file\n";
exit $EXIT_INTERNAL;

__END__

=head1 NAME

mapfeed.pl - convert Arc/Info generate and X,Y text files into a 2D design file

=head1 SYNOPSIS

B<perl -S mapfeed.pl> B<-I> I<input> B<-D> I<design> [I<options>] [B<-+>]

=head1 DESCRIPTION

B<mapfeed.pl> appends the records of an input file to a version 7 design file (2D ISFF, the
MicroStation .dgn format). It takes exactly the command line that the Mapfeed program composes
when you press "Apply": the input and design paths each as one argument, then the job's options.

The design file must exist. When it is empty (or holds nothing before its end marker) it gets a
new 2D header first (master unit metre, 1000 units of resolution a metre, the global origin at
the whole kilometre nearest the middle of the data, eight views around the data, active scale
1). Otherwise its header, units and global origin are kept, and the new elements are put after
its last element.

The design file is appended to in place: it keeps its inode, owner, group, mode and hard links,
and a program that holds it open keeps working on the same file. The new elements are written
after the old end while the old end marker still ends the file, and the end marker moves behind
them last, so a run that is killed at any moment leaves the file as it was or with all the new
elements; a run that fails takes back what it wrote. The file is locked for the run, so
converters started one after the other take their turns; one that finds the file locked waits
at most a minute (B<MAPFEED_LOCK_WAIT>), then ends naming the process that holds the lock.
After a run the file's end is noted in its extended attribute C<user.mapfeed.end>, so that the
next run need not walk the whole file to find it; the note is ignored as soon as anything else
has written to the file.

The input is read as it is converted, once, or twice when the theme must be inferred or a new
header's origin needs the data's extent; neither the input nor the design file is held in
memory.

Messages are single lines on standard error; the last line on standard output says what was
written.

=head1 OPTIONS

=over 4

=item B<-I> I<input>

The input file. Files ending in F<.ulf> are refused (exit 4).

=item B<-D> I<design>

The design file.

=item B<-S> B<A>|B<X>|B<E>|B<M>

The source: B<A> Arc/Info generate text, B<X> X,Y text, B<M> MOSS export text. B<E> (Etak Map
Base) is refused (exit 4): no public description of its layout could be found. Without B<-S> the
file's form decides between Arc/Info and X,Y (END lines mean Arc/Info), and a message says so;
MOSS input needs B<-S M>.

=item B<-P> B<P>|B<L>|B<A>

The theme: points, lines (with centroids, when B<-C> is given), or polygons. Without B<-P> the
file decides: points when it holds only points, polygons when every line is closed, else lines;
a message says which.

=item B<-L> I<level>

The level (1 to 63) of lines and polygons; level 1 when not given.

=item B<-C> I<level>

The level (1 to 63) of points, centroids and label points. Without it, points go to level 1
and label points are left out (reported).

=item B<-T> I<table>

The database table. The design file cannot hold its name: it is reported with the entity number
that the mslinks carry (1).

=item B<-M> I<number>|B<-i>

Gives every record a database linkage (DMRS, entity number 1): I<number> is the mslink of the
first record, counting up by one a record; B<-i> uses each record's own id. A polygon and its
label point share one mslink.

=item B<-O> B<P>|B<A>|B<T>|B<C>

What a point or centroid becomes: B<P> a point (a line of length zero, type 3), B<A> a text
element (type 17) holding the record's id, B<T> a text node (type 7) holding that text, B<C> a
cell from the library B<-ce>, the one named B<-cn> (see CELLS).
Points when not given.

=item B<-sl> I<style>,I<weight>,I<color>

=item B<-sp> I<style>,I<weight>,I<color>

The symbology of linework (B<-sl>) and of points and text (B<-sp>): style 0 to 7, weight 0 to
31, color 0 to 255. An empty part means 0 and is reported (exit 3).

=item B<-c>

Lines become curves (type 11) instead of line strings. Polygons stay shapes (reported, exit 3).

=item B<-ce> I<library>, B<-cn> I<name>

The cell library and the cell name for B<-O C>: a 2D version 7 cell library, and a name of one
to six letters, digits, C<$> or C<.>, compared without regard to case.

=item B<-f> I<font>, B<-txsz> I<size>, B<-J> I<justification>

Text font (0 to 255, default 0), size in master units (greater than 0, default 1) and
justification (0 to 14, default 2: left bottom; 0-2 left, 6-8 centre, 12-14 right, each top,
centre, bottom; 3-5 and 9-11 are the margin forms, written as left and right in text elements).

=item B<-R> I<ulhx>,I<ulhy>,I<pixel>

Moves every point, centroid and label point to the centre of its cell in the grid whose upper
left-hand corner is (I<ulhx>, I<ulhy>) and whose cells are I<pixel> wide.

=item B<-+>

Accepted anywhere and without effect: the Mapfeed program adds it when a file field ended in
" -+".

=back

=head1 INPUT

Arc/Info generate text (B<-S A>): point records are lines C<id x y>; line and polygon records
are an id line (C<id>, or C<id x y> with the polygon's label point), then one C<x y> or C<x,y>
line a vertex, then C<END>. Point records may stand between line records. The file ends with a
last C<END>. With B<-P A>, a ring with the id -99999 right after a polygon, or a ring with the
polygon's own id (and no label point) lying inside it, is an island of that polygon.

X,Y text (B<-S X>): one point a line, C<x y>, C<x,y>, C<id x y> or C<id,x,y>; blank lines are
skipped, a first line of column names is skipped (reported), a line C<END> ends the data
(anything but blank lines after it is refused, exit 4). A UTF-8 byte-order mark at the start of
either format is skipped. With B<-P L> or B<-P A> each run of points with the same id makes one line or polygon (all points
make one when there are no ids).

MOSS export text (B<-S M>): each feature is a header line followed by its coordinate lines, and
features follow one another to the end of the file. The header holds the feature's id in
columns 1-5 (a negative id means the coordinates are longitude and latitude; the id is the
number without its sign), its subject in columns 16-45 and the number of coordinate pairs in
columns 51-55. A projected pair has x in columns 1-11 and y in columns 12-22; a
longitude/latitude pair has longitude in columns 1-10, latitude in 11-20 and a flag in 21-22.
Numbers separated by blanks are read as well (a header then being the id, the subject's words
and the count). A feature of one pair is a point. Any other is a line, or with B<-P A> a
polygon whose first ring is the outline and whose further rings are islands: in a projected
file an island's first pair has a negative x (the island lies at the positive x), in a
longitude/latitude file an island's first pair has the flag 1. Islands become holes, as for
Arc/Info input. The file does not say whether it holds points, lines or polygons: B<-P> does.
Only polygons have islands: read as lines, every feature is one line and a negative x is a
coordinate like any other (so is one on a polygon's very first pair). Subjects are counted in a
message and not stored: a design file element has no field for them. For example, a lake
with an island, and a point (projected, in metres):

        3          LAKE                                  10
        1000.00    1000.00
        1100.00    1000.00
        1100.00    1100.00
        1000.00    1100.00
        1000.00    1000.00
       -1040.00    1040.00
        1060.00    1040.00
        1060.00    1060.00
        1040.00    1060.00
        1040.00    1040.00
        1          WELL                                   1
         500.00     600.00

A header whose columns do not hold an id and a count, a pair that is not two numbers, or a
file that ends before a feature's pairs do, is refused (exit 4) naming the line.

=head1 OUTPUT

Lines become line strings (type 4) or curves (type 11); a line longer than one element holds
(101 vertices, 97 for a curve) becomes a complex chain (type 12), and a line longer than one
complex chain holds (about 15,000 vertices) becomes several chains one after the other, sharing
its mslink (reported as a substitution). A curve's range encloses the curve as it is drawn
through its vertices. Polygons become shapes (type 6), or complex shapes (type 14) of line
strings; an open ring is closed and reported. An island (a ring with the id -99999 right after
its polygon, or a ring with the polygon's id lying inside it) becomes a hole of its polygon: a
shape with the hole bit, in the polygon's graphic group, with its mslink. With B<-O T> the
mslink stands on the text node and on its text, which is what readers of texts show.
Coordinates are rounded to the nearest unit of resolution; everything written (vertices, the
steering points of curves, texts and ranges) must lie inside the design plane.

=head1 CELLS

With B<-O C> every point and centroid becomes the cell B<-cn> of the library B<-ce>: a cell
header (type 2) bearing the cell's name, followed by the cell's components, moved so that the
library's point (0, 0) lies on the point, at scale 1 and without rotation. The library's
coordinates are taken in the design file's units of resolution, as they stand: a library drawn
for a file with other units comes out larger or smaller, and can be scaled in the design file
afterwards. With B<-C> the header and every component go on that level, else each keeps the
level it has in the library; with B<-sp> every component takes that symbology, else each keeps
its own. The header's range encloses its components; the mslink stands on the header.

The library is read before the design file is touched: a library that is missing, cannot be
read, is no 2D cell library (it must start with a library header, type 5 on level 8), holds no
cell of that name (the message lists the names it holds), or holds an element whose
coordinates the converter cannot move (types other than lines, line strings, shapes, curves,
complex chains and shapes, texts and text nodes) ends the run with exit 4.

=head1 EXIT STATUS

Every message is one line on standard error starting with C<mapfeed.pl:>; a failure ends with
the line "nothing was written to the design file".

=over 4

=item B<0>

Done.

=item B<3>

Done, with each substitution reported on standard error.

=item B<2>

Bad command line: an unknown flag, a missing value, a stray word or a value out of range
(including a B<-txsz> the design file's units cannot hold and B<-R> values beyond a number).

=item B<4>

The input is not supported or malformed, or the cell library cannot be used (see CELLS).

=item B<5>

The design file is unusable (missing, not a 2D version 7 design file, damaged, not writable,
the disk full), locked by another converter for longer than the wait, or something to be
written lies outside its design plane.

=item B<129>, B<130>, B<143>

Ended by the signal HUP, INT or TERM before the new elements were committed. A signal that
arrives after that point does not stop the run: it ends with 0 or 3 and says what it wrote.

=item B<70>

An internal error of the converter, or its engine mapfeed-convert is missing or cannot be
started.

=back

Except with 0 and 3 the design file is left as it was.

=head1 ENVIRONMENT

=over 4

=item B<MAPFEED_CONVERT>

The engine to start instead of the one beside the script (the tests use it to run the engine of
their own build folder).

=item B<MAPFEED_LOCK_WAIT>

How many seconds to wait for another converter's lock on the design file (60 when not set).

=back

=head1 EXAMPLES

  perl -S mapfeed.pl -I roads.gen -D roads.dgn -S A -P L -L 12 -sl 0,2,3

=head1 SEE ALSO

B<ogrinfo>(1), the Mapfeed README

=cut
