#!/usr/bin/perl
# mapfeed.pl: converts Arc/Info generate and X,Y text files into a 2D design file, with the
# command line the Mapfeed program composes. The manual is at the end of this file.
use v5.36;

use FindBin qw($RealBin);
use lib "$RealBin/lib";

use Mapfeed::Args qw(parse_arguments);
use Mapfeed::Convert;
use Mapfeed::Design;
use Mapfeed::Dgn qw(fresh_header);
use Mapfeed::Failure qw(fail EXIT_OK EXIT_SUBSTITUTED EXIT_INPUT);
use Mapfeed::Input qw(read_generate read_xy read_lines looks_like_generate);

my $NAME = 'mapfeed.pl';
STDOUT->autoflush(1);    # keeps the summary after the messages in a shared console
my %THEME_NAME = (P => 'points', L => 'lines', A => 'polygons');

sub say_err ($text) { print STDERR "$NAME: $text\n" }

# The theme of a file sent without -P: points when it holds only points, polygons when every
# line is closed, lines otherwise.
sub inferred_theme ($records) {
    my @lines = grep { $_->{kind} eq 'line' } @$records;
    return 'P' unless @lines;
    for my $line (@lines) {
        my ($first, $last) = @{ $line->{points} }[ 0, -1 ];
        return 'L' unless @{ $line->{points} } >= 4 && $first->[0] == $last->[0] && $first->[1] == $last->[1];
    }
    return 'A';
}

# X,Y points joined into one line or polygon per run of equal ids (all of them when the file
# has no ids).
sub joined ($points) {
    my @records;
    for my $p (@$points) {
        my $key = $p->{numbered} ? '' : $p->{id};
        if (!@records || $records[-1]{key} ne $key) {
            push @records, { kind => 'line', key => $key, id => $p->{numbered} ? 1 : $p->{id}, line => $p->{line}, points => [] };
        }
        push @{ $records[-1]{points} }, [ $p->{x}, $p->{y} ];
    }
    for my $r (@records) {
        fail(EXIT_INPUT, "id $r->{id} (input line $r->{line}): a line needs at least two points") if @{ $r->{points} } < 2;
    }
    return \@records;
}

sub read_input ($job, $notes) {
    my $file = $job->{input};
    fail(EXIT_INPUT, "$file: ULF input is not supported by this converter") if $file =~ /\.ulf\z/i;
    fail(EXIT_INPUT, "the input file $file does not exist") unless -e $file;
    fail(EXIT_INPUT, "the input file $file is not a plain file") unless -f $file;
    my $lines = read_lines($file);
    my $source = $job->{source};
    unless ($source) {
        $source = looks_like_generate($lines) ? 'A' : 'X';
        push @$notes, 'no -S given: the input reads as ' . ($source eq 'A' ? 'Arc/Info generate (-S A)' : 'X,Y text (-S X)');
    }
    fail(EXIT_INPUT, "$file has no END line, so it is no Arc/Info generate text (for an X,Y file the source is X,Y, -S X)")
        if $source eq 'A' && !looks_like_generate($lines);
    my $records = $source eq 'A' ? read_generate($file, $lines) : read_xy($file, $lines, $notes);
    fail(EXIT_INPUT, "$file holds no records to convert") unless @$records;

    my $theme = $job->{theme};
    unless ($theme) {
        $theme = inferred_theme($records);
        push @$notes, "no -P given: the input reads as $THEME_NAME{$theme} (-P $theme)";
    }
    if ($theme eq 'P') {
        my ($line) = grep { $_->{kind} eq 'line' } @$records;
        fail(EXIT_INPUT, "$file line $line->{line}: record $line->{id} is a line, but -P P asks for points only") if $line;
    } elsif ($source eq 'X') {
        $records = joined($records);
    }
    return ($records, $theme);
}

# The plane of a file that has no header yet: millimetres of metres (1000 UORs a master
# unit), the global origin at the whole kilometre nearest the middle of the data, so that the
# data lies well inside the plane's +-2147 km.
sub fresh_plane ($records) {
    my @xy = map { $_->{kind} eq 'point' ? [ $_->{x}, $_->{y} ] : (@{ $_->{points} }, $_->{label} // ()) } @$records;
    my ($xl, $xh) = (sort { $a <=> $b } map { $_->[0] } @xy)[ 0, -1 ];
    my ($yl, $yh) = (sort { $a <=> $b } map { $_->[1] } @xy)[ 0, -1 ];
    my @centre = map { 1000 * int(($_ / 1000) + ($_ < 0 ? -0.5 : 0.5)) } ($xl + $xh) / 2, ($yl + $yh) / 2;
    my %units = (subunits_per_master => 1000, uors_per_subunit => 1, master_name => 'm', sub_name => 'mm',
        origin_x => -1000 * $centre[0], origin_y => -1000 * $centre[1]);
    return (\%units, { uors_per_master => 1000, origin => [ $units{origin_x}, $units{origin_y} ] });
}

sub plural ($n, $what) { return "$n $what" . ($n == 1 ? '' : $what =~ /x$/ ? 'es' : 's') }

# What the job asked for that this input and theme leave without effect.
sub unused_options ($job, $theme, $notes) {
    my $text_type = $job->{point_type} =~ /^[AT]$/;
    for my $flag (grep { defined $job->{ $_->[1] } } ['-f', 'font'], ['-txsz', 'text_size'], ['-J', 'justification']) {
        push @$notes, "$flag has no effect with -O $job->{point_type} (only annotation and text nodes carry text)" unless $text_type;
    }
    push @$notes, '-ce and -cn have no effect without -O C' if (defined $job->{cell_file} || defined $job->{cell_name}) && $job->{point_type} ne 'C';
    push @$notes, '-c has no effect on points' if $job->{curves} && $theme eq 'P';
    push @$notes, '-L and -sl have no effect on points' if $theme eq 'P' && (defined $job->{line_level} || $job->{line_symbology});
    push @{ $job->{substitutions} }, '-c: polygons are written as shapes; curves are written for lines only' if $job->{curves} && $theme eq 'A';
    push @$notes, '-R has no effect: without -C no points or centroids are written' if $job->{raster} && $theme ne 'P' && !defined $job->{point_level};
    push @$notes, 'no -L given: linework goes to level 1' if $theme ne 'P' && !defined $job->{line_level};
    push @$notes, 'no -C given: points go to level 1' if $theme eq 'P' && !defined $job->{point_level};
}

sub run (@arguments) {
    my @notes;
    my $job = parse_arguments(@arguments);
    my ($records, $theme) = read_input($job, \@notes);
    unused_options($job, $theme, \@notes);

    my $design = Mapfeed::Design->open_locked($job->{design});
    my ($header, $plane) = ('', undef);
    if ($design->is_fresh) {
        my $units;
        ($units, $plane) = fresh_plane($records);
        $header = fresh_header(%$units);
        push @notes, "$job->{design} was empty: it got a new 2D header (master unit m, 1000 UORs a metre, global origin at ("
            . join(', ', map { -$_ / 1000 } $units->{origin_x}, $units->{origin_y}) . '))';
    } else {
        $plane = { uors_per_master => $design->{uors_per_master}, origin => $design->{origin} };
    }

    if ($job->{point_type} eq 'C') {
        my $cell = defined $job->{cell_name} ? "cell '$job->{cell_name}'" : 'the cell';
        my $library = defined $job->{cell_file} ? " of $job->{cell_file}" : '';
        push @{ $job->{substitutions} }, "-O C: $cell$library is not placed; points are written in its place";
    }
    my $convert = Mapfeed::Convert->new(job => $job, plane => $plane, substitutions => $job->{substitutions},
        last_node_number => $design->{last_node_number});
    $convert->record($_, $theme) for @$records;
    fail(EXIT_INPUT, "nothing to write: with -P $theme the input's points are written only on a -C level, and none was given")
        if $convert->bytes eq '';
    $design->commit($header, $convert->bytes);

    my $counts = $convert->counts;
    my $written = join ', ', map { plural($counts->{$_}, $_) } sort keys %$counts;
    push @notes, plural($convert->left_out, 'label point') . ' left out: no -C level given for them' if $convert->left_out;
    if (defined $job->{mslink} && defined $job->{table}) {
        push @notes, "the table name '$job->{table}' is not stored in the design file: the mslinks carry entity number "
            . Mapfeed::Convert::ENTITY_NUMBER . ", to be matched to '$job->{table}' in the database's catalogue";
    }
    push @notes, "-T $job->{table}: no -M given, so no mslinks were written" if defined $job->{table} && !defined $job->{mslink};
    say_err($_) for @notes;
    say_err("substituted: $_") for @{ $job->{substitutions} };
    say "$NAME: $job->{input} -> $job->{design}: $written";
    return @{ $job->{substitutions} } ? EXIT_SUBSTITUTED : EXIT_OK;
}

# A signal ends the run like any failure: the design file stays as it was, no copy is left.
my %SIGNAL_STATUS = (HUP => 129, INT => 130, TERM => 143);
for my $signal (keys %SIGNAL_STATUS) {
    $SIG{$signal} = sub { fail($SIGNAL_STATUS{$signal}, "ended by signal $signal") };
}

my $status = eval { run(@ARGV) };
unless (defined $status) {
    my $error = $@;
    if (ref $error && $error->isa('Mapfeed::Failure')) {
        say_err($error->message);
        say_err('nothing was written to the design file');
        exit $error->status;
    }
    print STDERR "$NAME: internal error: $error";
    say_err('nothing was written to the design file');
    exit 70;
}
exit $status;

__END__

=head1 NAME

mapfeed.pl - convert Arc/Info generate and X,Y text files into a 2D design file

=head1 SYNOPSIS

B<perl -S mapfeed.pl> B<-I> I<input> B<-D> I<design> [I<options>] [B<-+>]

=head1 DESCRIPTION

B<mapfeed.pl> appends the records of an input file to a version 7 design file (2D ISFF, the
MicroStation .dgn format). It takes exactly the command line that the Mapfeed program composes
when you press "Apply": the input and design paths each as one argument, then the job's options.

The design file must exist. When it is empty it gets a new 2D header first (master unit metre,
1000 units of resolution a metre, the global origin at the whole kilometre nearest the middle of
the data). Otherwise its header, units and global origin are kept, and the new elements are put
after its last element. The file is locked for the run, so converters started one after the
other take their turns, and it is replaced at once at the end: a run that fails leaves it as it
was, byte for byte.

Messages are single lines on standard error; the last line on standard output says what was
written.

=head1 OPTIONS

=over 4

=item B<-I> I<input>

The input file. Files ending in F<.ulf> are refused (exit 4).

=item B<-D> I<design>

The design file.

=item B<-S> B<A>|B<X>|B<E>|B<M>

The source: B<A> Arc/Info generate text, B<X> X,Y text. B<E> (Etak Map Base) and B<M> (MOSS) are
refused (exit 4). Without B<-S> the file's form decides (END lines mean Arc/Info), and a message
says so.

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
cell. Cells are not placed: points are written in their place and the run ends with exit 3.
Points when not given.

=item B<-sl> I<style>,I<weight>,I<color>

=item B<-sp> I<style>,I<weight>,I<color>

The symbology of linework (B<-sl>) and of points and text (B<-sp>): style 0 to 7, weight 0 to
31, color 0 to 255. An empty part means 0 and is reported (exit 3).

=item B<-c>

Lines become curves (type 11) instead of line strings. Polygons stay shapes (reported, exit 3).

=item B<-ce> I<library>, B<-cn> I<name>

The cell library and the cell name for B<-O C>.

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
last C<END>.

X,Y text (B<-S X>): one point a line, C<x y>, C<x,y>, C<id x y> or C<id,x,y>; blank lines are
skipped, a first line of column names is skipped (reported), a line C<END> ends the data. With
B<-P L> or B<-P A> each run of points with the same id makes one line or polygon (all points
make one when there are no ids).

=head1 OUTPUT

Lines become line strings (type 4) or curves (type 11); a line longer than one element holds
(101 vertices, 97 for a curve) becomes a complex chain (type 12). Polygons become shapes (type
6), or complex shapes (type 14) of line strings; an open ring is closed and reported. Coordinates
are rounded to the nearest unit of resolution.

=head1 EXIT STATUS

=over 4

=item B<0>

Done.

=item B<3>

Done, with each substitution reported on standard error.

=item B<2>

Bad command line: an unknown flag, a missing value, a stray word or a value out of range.

=item B<4>

The input is not supported or malformed.

=item B<5>

The design file is unusable (missing, not a 2D version 7 design file, damaged, not writable),
or a coordinate lies outside its design plane.

=back

With 2, 4 and 5 the design file is left untouched.

=head1 EXAMPLES

  perl -S mapfeed.pl -I roads.gen -D roads.dgn -S A -P L -L 12 -sl 0,2,3

=head1 SEE ALSO

B<ogrinfo>(1), the Mapfeed README

=cut
